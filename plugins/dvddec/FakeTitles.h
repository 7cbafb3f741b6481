#pragma once

#include <vector>

#include "TitleLayout.h"

namespace dvddec {

// A title as far as telling the main feature from fake titles needs it.
struct TitlePlayback {
  int titleSet = 0;         // 0: an invalid title, judged neither way
  std::vector<Cell> cells;  // every chapter's cells in playing order
  double seconds = 0;
  int chapters = 0;
};

TitlePlayback PlaybackOf(const TitleLayout& layout, int titleSet);

struct TitleVerdict {
  bool mainFeature = false;
  int fakeReason = 0;  // DVDDEC_FAKE_*
  int fakeDetail = 0;  // see DvdTitleInfo::FakeDetail
};

// One verdict per title. Fakes are titles of implausible length, titles that
// play a cell more than once, and titles that play the main feature's cells
// again as a whole or out of its order. The main feature is the longest of
// the others, preferring one whose cells lie in sector order.
std::vector<TitleVerdict> JudgeTitles(const std::vector<TitlePlayback>& titles);

}  // namespace dvddec
