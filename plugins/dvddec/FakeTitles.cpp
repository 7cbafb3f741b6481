#include "FakeTitles.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "TitleInfo.h"
#include "dvddec.h"

namespace dvddec {
namespace {

constexpr double kLongestPlausibleSeconds = 5 * 3600.0;
// An out-of-order title yields the main feature to an in-order one this long.
constexpr double kNearlyAsLong = 0.9;

using CellKey = std::tuple<int, std::uint32_t, std::uint32_t>;

CellKey KeyOf(const Cell& cell) { return {cell.vob, cell.firstSector, cell.lastSector}; }

// How often the title plays its most played cell.
int MostPlays(const std::vector<Cell>& cells) {
  std::map<CellKey, int> plays;
  int most = 0;
  for (const Cell& cell : cells) most = std::max(most, ++plays[KeyOf(cell)]);
  return most;
}

bool InSectorOrder(const std::vector<Cell>& cells) {
  for (size_t i = 1; i < cells.size(); ++i)
    if (cells[i].firstSector <= cells[i - 1].lastSector) return false;
  return true;
}

// Whether the title plays only the main feature's cells, and either all of
// them in its order or some out of its order. A part of the main feature in
// its order (a shorter cut, one episode of a "play all") is a title of its own.
bool CopiesMain(const TitlePlayback& title, const TitlePlayback& main) {
  if (title.titleSet != main.titleSet || title.cells.empty()) return false;
  std::map<CellKey, size_t> position;
  for (size_t i = 0; i < main.cells.size(); ++i) position.emplace(KeyOf(main.cells[i]), i);
  bool inOrder = true;
  size_t previous = 0;
  for (size_t i = 0; i < title.cells.size(); ++i) {
    const auto found = position.find(KeyOf(title.cells[i]));
    if (found == position.end()) return false;
    if (i > 0 && found->second <= previous) inOrder = false;
    previous = found->second;
  }
  return !inOrder || title.cells.size() == main.cells.size();
}

// Length, loops: what a title shows on its own.
TitleVerdict JudgeAlone(const TitlePlayback& title) {
  if (title.seconds > kLongestPlausibleSeconds) return {false, DVDDEC_FAKE_LENGTH, 0};
  const int plays = MostPlays(title.cells);
  if (plays > 1) return {false, DVDDEC_FAKE_LOOP, plays};
  return {};
}

bool Candidate(const TitlePlayback& title, const TitleVerdict& verdict) {
  return title.titleSet != 0 && verdict.fakeReason == DVDDEC_FAKE_NONE;
}

// The longest candidate (then the one with most chapters, then the first); -1 for none.
int Longest(const std::vector<TitlePlayback>& titles, const std::vector<TitleVerdict>& verdicts, bool inOrderOnly) {
  int best = -1;
  for (size_t i = 0; i < titles.size(); ++i) {
    const TitlePlayback& title = titles[i];
    if (!Candidate(title, verdicts[i]) || (inOrderOnly && !InSectorOrder(title.cells))) continue;
    const TitlePlayback* leader = best < 0 ? nullptr : &titles[size_t(best)];
    if (!leader || title.seconds > leader->seconds ||
        (title.seconds == leader->seconds && title.chapters > leader->chapters))
      best = int(i);
  }
  return best;
}

int MainFeature(const std::vector<TitlePlayback>& titles, const std::vector<TitleVerdict>& verdicts) {
  const int longest = Longest(titles, verdicts, false);
  if (longest < 0 || InSectorOrder(titles[size_t(longest)].cells)) return longest;
  const int inOrder = Longest(titles, verdicts, true);
  const bool nearlyAsLong =
      inOrder >= 0 && titles[size_t(inOrder)].seconds >= kNearlyAsLong * titles[size_t(longest)].seconds;
  return nearlyAsLong ? inOrder : longest;
}

}  // namespace

TitlePlayback PlaybackOf(const TitleLayout& layout, int titleSet) {
  const int chapters = int(layout.chapters.size());
  TitlePlayback title{titleSet, {}, ChaptersSeconds(layout, 0, chapters - 1), chapters};
  for (const auto& chapter : layout.chapters) title.cells.insert(title.cells.end(), chapter.begin(), chapter.end());
  return title;
}

std::vector<TitleVerdict> JudgeTitles(const std::vector<TitlePlayback>& titles) {
  std::vector<TitleVerdict> verdicts;
  for (const TitlePlayback& title : titles) verdicts.push_back(title.titleSet ? JudgeAlone(title) : TitleVerdict{});
  const int main = MainFeature(titles, verdicts);
  if (main < 0) return verdicts;
  verdicts[size_t(main)].mainFeature = true;
  for (size_t i = 0; i < titles.size(); ++i) {
    if (int(i) == main || !Candidate(titles[i], verdicts[i])) continue;
    if (CopiesMain(titles[i], titles[size_t(main)])) verdicts[i] = {false, DVDDEC_FAKE_COPY, main + 1};
  }
  return verdicts;
}

}  // namespace dvddec
