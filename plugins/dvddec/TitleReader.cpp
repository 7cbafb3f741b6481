#include "TitleReader.h"

#include <algorithm>

#include "PluginLog.h"
#include "TitleInfo.h"
#include "TitleLayout.h"

namespace dvddec {
namespace {

class VobSource : public BlockSource {
 public:
  explicit VobSource(dvd_file_t& file) : file_(file) {}
  int ReadBlocks(std::uint32_t sector, int count, std::uint8_t* data) override {
    return int(DVDReadBlocks(&file_, int(sector), size_t(count), data));
  }

 private:
  dvd_file_t& file_;
};

std::vector<std::uint32_t> VobuStarts(const ifo_handle_t& vts) {
  const vobu_admap_t* map = vts.vts_vobu_admap;
  if (!map || !map->vobu_start_sectors || map->last_byte + 1 < VOBU_ADMAP_SIZE) return {};
  const size_t count = (map->last_byte + 1 - VOBU_ADMAP_SIZE) / sizeof(std::uint32_t);
  std::vector<std::uint32_t> starts(map->vobu_start_sectors, map->vobu_start_sectors + count);
  std::sort(starts.begin(), starts.end());
  return starts;
}

// VOBUs read on past the chosen chapters. DVD sound is multiplexed about half
// a second ahead of its pictures, so the sound of a range's last moments lies
// in the VOBUs after it (each 0.4 to 1 s long); the engine cuts at the range's
// disc time.
constexpr std::ptrdiff_t kRunOnVobus = 3;

// Appends the first kRunOnVobus VOBUs of the cells that continue the last
// chosen one. Nothing without a VOBU map to bound them.
void AppendRunOn(TitleCells& title, const std::vector<Cell>& runOn) {
  if (runOn.empty() || title.cells.empty()) return;
  const auto& starts = title.vobuStarts;
  const auto next = std::upper_bound(starts.begin(), starts.end(), title.cells.back().lastSector);
  if (next == starts.end()) return;
  const std::uint32_t limit = starts.end() - next > kRunOnVobus ? *(next + kRunOnVobus) : runOn.back().lastSector + 1;
  for (Cell cell : runOn) {
    if (cell.firstSector >= limit) break;
    cell.lastSector = std::min(cell.lastSector, limit - 1);
    title.cells.push_back(cell);
    ++title.runOnCells;
  }
}

// Chooses the chapters (from 0) the parameters name; false when none.
bool ChapterRange(const DvdParam& param, int chapterCount, int& first, int& last) {
  first = std::max(param.FromChapter, 1) - 1;
  last = std::min(param.ToChapter, chapterCount) - 1;
  if (first <= last) return true;
  SetLastError("Chapters " + std::to_string(param.FromChapter) + " to " + std::to_string(param.ToChapter) +
               " are not in the title, which has " + std::to_string(chapterCount) + ".");
  return false;
}

// The layout of the title and its title set's IFO, which the layout points into.
std::optional<TitleLayout> ReadLayout(Disc& disc, int title, int& titleSet, IfoHandle& vts) {
  const IfoHandle vmg = OpenIfo(disc, 0);
  if (!vmg) return std::nullopt;
  if (title < 0 || title >= vmg->tt_srpt->nr_of_srpts) {
    SetLastError("The DVD has no title " + std::to_string(title + 1) + ".");
    return std::nullopt;
  }
  titleSet = TitleSetOf(*vmg, title);
  if (!titleSet) SetLastError("The title names no title set of the DVD.");
  if (titleSet) vts = OpenIfo(disc, titleSet);
  return vts ? ReadTitleLayout(*vmg, title, *vts) : std::nullopt;
}

// Cells past the end of the video files would read as an endless stretch of
// unreadable sectors: the tables are refused instead.
bool CellsInsideVobs(const std::vector<Cell>& cells, dvd_file_t& vobs) {
  const ssize_t sectors = DVDFileSize(&vobs);
  for (const Cell& cell : cells)
    if (sectors < 0 || cell.lastSector >= std::uint64_t(sectors)) {
      SetLastError("The title's tables are inconsistent: a cell lies beyond the title set's video files.");
      return false;
    }
  return true;
}

}  // namespace

std::unique_ptr<DvdTitleReader> OpenTitleReader(const std::string& path, const DvdParam& param) {
  auto reader = std::make_unique<DvdTitleReader>();
  reader->param = param;
  reader->disc = OpenDisc(path);
  if (!reader->disc.reader) return nullptr;
  int titleSet = 0, first = 0, last = 0;
  IfoHandle vts;
  const auto layout = ReadLayout(reader->disc, param.Title, titleSet, vts);
  if (!layout || !ChapterRange(param, int(layout->chapters.size()), first, last)) return nullptr;
  for (int chapter = first; chapter <= last; ++chapter)
    for (const Cell& cell : layout->chapters[size_t(chapter)]) reader->title.cells.push_back(cell);
  reader->title.vobuStarts = VobuStarts(*vts);
  AppendRunOn(reader->title, layout->runOn[size_t(last)]);
  reader->seconds = ChaptersSeconds(*layout, first, last);
  FillTitleInfo(*layout, *vts->vtsi_mat, reader->info);
  reader->vobs = OpenTitleVobs(*reader->disc.reader, titleSet);
  if (!reader->vobs || !CellsInsideVobs(reader->title.cells, *reader->vobs)) return nullptr;
  reader->source = std::make_unique<VobSource>(*reader->vobs);
  reader->stream = std::make_unique<CellStream>(*reader->source, reader->title);
  return reader;
}

}  // namespace dvddec
