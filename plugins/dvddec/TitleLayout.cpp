#include "TitleLayout.h"

#include <algorithm>
#include <string>

#include "DvdTime.h"
#include "PluginLog.h"

namespace dvddec {
namespace {

std::nullopt_t Inconsistent(const std::string& why) {
  SetLastError("The title's tables are inconsistent: " + why + ".");
  return std::nullopt;
}

const title_info_t* TitleEntry(const ifo_handle_t& vmg, int index) {
  const tt_srpt_t* table = vmg.tt_srpt;
  if (!table || !table->title || index < 0 || index >= table->nr_of_srpts) return nullptr;
  return &table->title[index];
}

bool SecondaryAngle(const cell_playback_t& cell) {
  return cell.block_type == BLOCK_TYPE_ANGLE_BLOCK && cell.block_mode != BLOCK_MODE_FIRST_CELL;
}

// Cells firstCell..lastCell (from 1) of the program chain.
std::optional<std::vector<Cell>> ReadCells(const pgc_t& pgc, int firstCell, int lastCell) {
  std::vector<Cell> cells;
  for (int number = firstCell; number <= lastCell; ++number) {
    const cell_playback_t& playback = pgc.cell_playback[number - 1];
    if (SecondaryAngle(playback)) continue;
    const double seconds = DvdTimeSeconds(playback.playback_time);
    if (playback.first_sector > playback.last_sector || seconds < 0) return std::nullopt;
    const int vob = pgc.cell_position ? pgc.cell_position[number - 1].vob_id_nr : 0;
    cells.push_back({playback.first_sector, playback.last_sector, seconds, vob});
  }
  return cells;
}

const pgc_t* ProgramChain(const ifo_handle_t& vts, int pgcn) {
  const pgcit_t* table = vts.vts_pgcit;
  if (!table || !table->pgci_srp || pgcn < 1 || pgcn > table->nr_of_pgci_srp) return nullptr;
  const pgc_t* pgc = table->pgci_srp[pgcn - 1].pgc;
  if (!pgc || !pgc->program_map || !pgc->cell_playback) return nullptr;
  return pgc;
}

struct CellNumbers {
  int first = 0, last = 0;  // from 1
};

// The cells of program pgn: from its entry in the program map to the cell
// before the next program's, or to the chain's last cell.
std::optional<CellNumbers> ChapterCells(const pgc_t& pgc, int pgn) {
  if (pgn < 1 || pgn > pgc.nr_of_programs) return std::nullopt;
  const int firstCell = pgc.program_map[pgn - 1];
  const int lastCell = pgn < pgc.nr_of_programs ? pgc.program_map[pgn] - 1 : pgc.nr_of_cells;
  if (firstCell < 1 || lastCell < firstCell || lastCell > pgc.nr_of_cells) return std::nullopt;
  return CellNumbers{firstCell, lastCell};
}

// The cells after `last` that continue it in its VOB; none when the tables
// after it cannot be read.
std::vector<Cell> RunOnCells(const pgc_t& pgc, const Cell& last, int lastNumber) {
  std::vector<Cell> runOn;
  const auto following = ReadCells(pgc, lastNumber + 1, pgc.nr_of_cells);
  if (!following) return runOn;
  const Cell* previous = &last;
  for (const Cell& cell : *following) {
    if (cell.vob != previous->vob || cell.firstSector != previous->lastSector + 1) break;
    runOn.push_back(cell);
    previous = &runOn.back();
  }
  return runOn;
}

}  // namespace

int TitleSetOf(const ifo_handle_t& vmg, int index) {
  const title_info_t* title = TitleEntry(vmg, index);
  if (!title || title->title_set_nr < 1) return 0;
  if (vmg.vmgi_mat && title->title_set_nr > vmg.vmgi_mat->vmg_nr_of_title_sets) return 0;
  return title->title_set_nr;
}

std::optional<TitleLayout> ReadTitleLayout(const ifo_handle_t& vmg, int index, const ifo_handle_t& vts) {
  const title_info_t* title = TitleEntry(vmg, index);
  if (!title) return Inconsistent("no such title");
  const vts_ptt_srpt_t* parts = vts.vts_ptt_srpt;
  if (!vts.vtsi_mat || !parts || !parts->title) return Inconsistent("the title set has no chapter table");
  if (title->vts_ttn < 1 || title->vts_ttn > parts->nr_of_srpts) return Inconsistent("no such title in its title set");
  const ttu_t& unit = parts->title[title->vts_ttn - 1];
  const int chapterCount = std::min<int>(title->nr_of_ptts, unit.nr_of_ptts);
  if (chapterCount < 1 || !unit.ptt) return Inconsistent("the title has no chapters");
  TitleLayout layout;
  for (int chapter = 0; chapter < chapterCount; ++chapter) {
    const pgc_t* pgc = ProgramChain(vts, unit.ptt[chapter].pgcn);
    if (!pgc) return Inconsistent("chapter " + std::to_string(chapter + 1) + " names no program chain");
    const auto numbers = ChapterCells(*pgc, unit.ptt[chapter].pgn);
    auto cells = numbers ? ReadCells(*pgc, numbers->first, numbers->last) : std::nullopt;
    if (!cells) return Inconsistent("chapter " + std::to_string(chapter + 1) + " names no valid cells");
    if (!layout.pgc) layout.pgc = pgc;
    layout.runOn.push_back(cells->empty() ? std::vector<Cell>{} : RunOnCells(*pgc, cells->back(), numbers->last));
    layout.chapters.push_back(std::move(*cells));
  }
  return layout;
}

}  // namespace dvddec
