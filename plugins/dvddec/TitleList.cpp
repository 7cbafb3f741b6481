#include "TitleList.h"

#include <map>

#include "DvdDisc.h"
#include "PluginLog.h"
#include "TitleInfo.h"
#include "TitleLayout.h"

namespace dvddec {
namespace {

// Title set IFOs opened so far; nullptr for one that cannot be read.
class TitleSets {
 public:
  explicit TitleSets(Disc& disc) : disc_(disc) {}
  const ifo_handle_t* Get(int titleSet) {
    auto found = sets_.find(titleSet);
    if (found == sets_.end()) found = sets_.emplace(titleSet, OpenIfo(disc_, titleSet)).first;
    return found->second.get();
  }

 private:
  Disc& disc_;
  std::map<int, IfoHandle> sets_;
};

std::optional<DvdTitleInfo> Describe(const ifo_handle_t& vmg, int index, TitleSets& sets) {
  const int titleSet = TitleSetOf(vmg, index);
  const ifo_handle_t* vts = titleSet ? sets.Get(titleSet) : nullptr;
  if (!titleSet) SetLastError("The title names no title set of the DVD.");
  const auto layout = vts ? ReadTitleLayout(vmg, index, *vts) : std::nullopt;
  if (!layout) {
    LogMessage(kLogWarning, "Title %d is invalid: %s", index + 1, LastErrorText());
    return std::nullopt;
  }
  DvdTitleInfo info;
  FillTitleInfo(*layout, *vts->vtsi_mat, info);
  return info;
}

}  // namespace

int TitleList::Enumerate(const std::string& path) {
  std::vector<std::optional<DvdTitleInfo>> titles;
  Disc disc = OpenDisc(path);
  if (disc.reader) {
    if (IfoHandle vmg = OpenIfo(disc, 0)) {
      TitleSets sets(disc);
      for (int index = 0; index < vmg->tt_srpt->nr_of_srpts; ++index) titles.push_back(Describe(*vmg, index, sets));
    }
  }
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
