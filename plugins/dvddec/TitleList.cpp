#include "TitleList.h"

#include <map>

#include "DvdDisc.h"
#include "FakeTitles.h"
#include "PluginLog.h"
#include "StreamPictureSize.h"
#include "TitleInfo.h"
#include "TitleLayout.h"

namespace dvddec {
namespace {

// Title set IFOs and VOB files opened so far; nullptr for one that cannot be read.
class TitleSets {
 public:
  explicit TitleSets(Disc& disc) : disc_(disc) {}
  const ifo_handle_t* Get(int titleSet) {
    auto found = sets_.find(titleSet);
    if (found == sets_.end()) found = sets_.emplace(titleSet, OpenIfo(disc_, titleSet)).first;
    return found->second.get();
  }
  dvd_file_t* Vobs(int titleSet) {
    auto found = vobs_.find(titleSet);
    if (found == vobs_.end()) found = vobs_.emplace(titleSet, OpenTitleVobs(*disc_.reader, titleSet)).first;
    return found->second.get();
  }

 private:
  Disc& disc_;
  std::map<int, IfoHandle> sets_;
  std::map<int, FileHandle> vobs_;
};

struct Described {
  std::optional<DvdTitleInfo> info;  // nothing for an invalid title
  TitlePlayback playback;
};

// The video stream's own picture size in place of the IFO's, when it can be read.
void TakeStreamPictureSize(const TitleLayout& layout, dvd_file_t* vobs, DvdTitleInfo& info) {
  if (!vobs || layout.chapters.empty() || layout.chapters.front().empty()) return;
  if (const auto size = StreamPictureSize(*vobs, layout.chapters.front().front())) {
    info.Width = size->width;
    info.Height = size->height;
  }
}

Described Describe(const ifo_handle_t& vmg, int index, TitleSets& sets) {
  const int titleSet = TitleSetOf(vmg, index);
  const ifo_handle_t* vts = titleSet ? sets.Get(titleSet) : nullptr;
  if (!titleSet) SetLastError("The title names no title set of the DVD.");
  const auto layout = vts ? ReadTitleLayout(vmg, index, *vts) : std::nullopt;
  if (!layout) {
    LogMessage(kLogWarning, "Title %d is invalid: %s", index + 1, LastErrorText());
    return {};
  }
  DvdTitleInfo info;
  FillTitleInfo(*layout, *vts->vtsi_mat, info);
  TakeStreamPictureSize(*layout, sets.Vobs(titleSet), info);
  return {info, PlaybackOf(*layout, titleSet)};
}

// The described titles' records with the verdicts on the main feature and fakes.
std::vector<std::optional<DvdTitleInfo>> Judged(std::vector<Described>& described) {
  std::vector<TitlePlayback> playback;
  for (const Described& title : described) playback.push_back(title.playback);
  const std::vector<TitleVerdict> verdicts = JudgeTitles(playback);
  std::vector<std::optional<DvdTitleInfo>> titles;
  for (size_t i = 0; i < described.size(); ++i) {
    std::optional<DvdTitleInfo>& info = described[i].info;
    if (info) {
      info->MainFeature = verdicts[i].mainFeature ? 1 : 0;
      info->FakeReason = std::uint8_t(verdicts[i].fakeReason);
      info->FakeDetail = verdicts[i].fakeDetail;
    }
    titles.push_back(info);
  }
  return titles;
}

}  // namespace

int TitleList::Enumerate(const std::string& path) {
  std::vector<Described> described;
  Disc disc = OpenDisc(path);
  if (disc.reader) {
    if (IfoHandle vmg = OpenIfo(disc, 0)) {
      TitleSets sets(disc);
      for (int index = 0; index < vmg->tt_srpt->nr_of_srpts; ++index) described.push_back(Describe(*vmg, index, sets));
    }
  }
  std::vector<std::optional<DvdTitleInfo>> titles = Judged(described);
  const std::lock_guard guard(mutex_);
  titles_ = std::move(titles);
  return int(titles_.size());
}

bool TitleList::Get(int index, DvdTitleInfo& info) const {
  const std::lock_guard guard(mutex_);
  if (index < 0 || index >= int(titles_.size()) || !titles_[size_t(index)]) return false;
  info = *titles_[size_t(index)];
  return true;
}

TitleList& Titles() {
  static TitleList list;
  return list;
}

}  // namespace dvddec
