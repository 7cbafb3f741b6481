// Telling the main feature from the fake titles structure-protected discs
// list: on hand-made cell lists (the rules) and on an authored protected disc
// and an ordinary one (the tables read through the plug-in).
#include <gtest/gtest.h>

#include "DvdTestSupport.h"
#include "FakeTitles.h"
#include "TestDvd.h"

namespace {

using dvddec::Cell;
using dvddec::TitlePlayback;

// Cell n of title set 1 lies at sectors 100n..100n+99 and lasts 60 s.
Cell Part(int n) { return {std::uint32_t(100 * n), std::uint32_t(100 * n + 99), 60, 1}; }

TitlePlayback Title(std::vector<int> parts, int titleSet = 1) {
  TitlePlayback title{titleSet, {}, 0, int(parts.size())};
  for (int n : parts) {
    title.cells.push_back(Part(n));
    title.seconds += 60;
  }
  return title;
}

std::vector<int> Reasons(const std::vector<dvddec::TitleVerdict>& verdicts) {
  std::vector<int> reasons;
  for (const auto& verdict : verdicts) reasons.push_back(verdict.fakeReason);
  return reasons;
}

int MainOf(const std::vector<dvddec::TitleVerdict>& verdicts) {
  for (size_t i = 0; i < verdicts.size(); ++i)
    if (verdicts[i].mainFeature) return int(i);
  return -1;
}

// What real discs hold stays real: bonus titles with cells of their own, a
// shorter cut and the episodes of a "play all" title (in-order parts of the
// longest title), and the same sectors in another title set.
TEST(FakeTitleRules, RealDiscLayoutsStayReal) {
  const auto bonus = dvddec::JudgeTitles({Title({1, 2, 3, 4}), Title({5}), Title({6, 7})});
  EXPECT_EQ(Reasons(bonus), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(MainOf(bonus), 0);

  const auto cuts = dvddec::JudgeTitles({Title({1, 3, 4}), Title({1, 2, 3, 4}), Title({2}), Title({3, 4})});
  EXPECT_EQ(Reasons(cuts), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(MainOf(cuts), 1);

  const auto sets = dvddec::JudgeTitles({Title({1, 2}), Title({2, 1}, 2)});
  EXPECT_EQ(Reasons(sets), (std::vector<int>{0, 0}));
}

// Copies, permutations and loops of the main feature's cells are fakes, even
// listed before it; the main feature is the in-order title among equally long
// permutations, and never one of implausible length.
TEST(FakeTitleRules, ProtectionLayoutsAreFakes) {
  TitlePlayback endless = Title({1, 2, 3, 4});
  endless.seconds = 9 * 3600;
  const auto verdicts = dvddec::JudgeTitles(
      {Title({2, 1, 4, 3}), Title({3, 3, 3}), endless, Title({1, 2, 3, 4}), Title({5}), Title({1, 2, 3, 4}),
       Title({1, 2, 1, 2})});
  EXPECT_EQ(MainOf(verdicts), 3);
  EXPECT_EQ(Reasons(verdicts), (std::vector<int>{DVDDEC_FAKE_COPY, DVDDEC_FAKE_LOOP, DVDDEC_FAKE_LENGTH, 0, 0,
                                                 DVDDEC_FAKE_COPY, DVDDEC_FAKE_LOOP}));
  EXPECT_EQ(verdicts[0].fakeDetail, 4);  // the main feature's title number
  EXPECT_EQ(verdicts[1].fakeDetail, 3);  // plays of the looped cell
  EXPECT_EQ(verdicts[6].fakeDetail, 2);
}

// A disc of nothing but invalid titles and loops has no main feature.
TEST(FakeTitleRules, NoCandidateNoMainFeature) {
  const auto verdicts = dvddec::JudgeTitles({TitlePlayback{}, Title({1, 1})});
  EXPECT_EQ(MainOf(verdicts), -1);
  EXPECT_EQ(Reasons(verdicts), (std::vector<int>{0, DVDDEC_FAKE_LOOP}));
}

class FakeTitleDiscs : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError(); }

  // Each title's record; the test stops at the first invalid one.
  std::vector<DvdTitleInfo> Titles(test_dvd::Disc disc, int expected) {
    EXPECT_EQ(DVDEnumTitle(test_dvd::Path(disc)), expected);
    std::vector<DvdTitleInfo> titles(static_cast<size_t>(expected));
    for (int i = 0; i < expected; ++i) EXPECT_TRUE(DVDGetTitle(i, titles[size_t(i)])) << "title " << i + 1;
    return titles;
  }
};

TEST_F(FakeTitleDiscs, ProtectedDiscKeepsOnlyTheFilmAndItsBonus) {
  const auto titles = Titles(test_dvd::Disc::Protected, test_dvd::kProtectedTitleCount);
  for (int number = 1; number <= int(titles.size()); ++number) {
    const DvdTitleInfo& title = titles[size_t(number - 1)];
    const bool real = number == test_dvd::kProtectedMainTitle || number == test_dvd::kProtectedBonusTitle;
    EXPECT_EQ(title.FakeReason != DVDDEC_FAKE_NONE, !real) << "title " << number;
    EXPECT_EQ(title.MainFeature, number == test_dvd::kProtectedMainTitle ? 1 : 0) << "title " << number;
  }
  const auto& main = titles[test_dvd::kProtectedMainTitle - 1];
  EXPECT_NEAR(main.Duration, test_dvd::kProtectedMainSeconds, 0.05);
  EXPECT_EQ(main.ChapterCount, 4);
  EXPECT_EQ(titles[0].FakeReason, DVDDEC_FAKE_COPY);
  EXPECT_EQ(titles[0].FakeDetail, test_dvd::kProtectedMainTitle);
  EXPECT_EQ(titles[1].FakeReason, DVDDEC_FAKE_LOOP);
  EXPECT_EQ(titles[1].FakeDetail, 4);
  EXPECT_EQ(titles[2].FakeReason, DVDDEC_FAKE_LENGTH);
  EXPECT_GT(titles[2].Duration, 8 * 3600);
  EXPECT_EQ(titles[5].FakeReason, DVDDEC_FAKE_COPY);  // the main title's cells exactly
}

TEST_F(FakeTitleDiscs, OrdinaryDiscHasNoFakes) {
  const auto titles = Titles(test_dvd::Disc::Folder, 3);
  for (const DvdTitleInfo& title : titles) EXPECT_EQ(title.FakeReason, DVDDEC_FAKE_NONE);
  EXPECT_EQ(titles[0].MainFeature, 1);  // as long as title 2, with more chapters
  EXPECT_EQ(titles[1].MainFeature + titles[2].MainFeature, 0);
}

}  // namespace
