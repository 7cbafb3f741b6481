#include <gtest/gtest.h>

#include <cstring>

#include "DvdTestSupport.h"
#include "TestDvd.h"

namespace {

using test_dvd::Disc;

struct Stream {
  int id;
  std::string description;
};

std::vector<Stream> AudioOf(const DvdTitleInfo& info) {
  std::vector<Stream> streams;
  for (int i = 0; i < info.AudioCount; ++i) streams.push_back({info.Audio[i].ID, info.Audio[i].Description});
  return streams;
}

std::vector<Stream> SubtitlesOf(const DvdTitleInfo& info) {
  std::vector<Stream> streams;
  for (int i = 0; i < info.SubtitleCount; ++i) streams.push_back({info.Subtitles[i].ID, info.Subtitles[i].Description});
  return streams;
}

bool operator==(const Stream& a, const Stream& b) { return a.id == b.id && a.description == b.description; }

class DvdTitles : public testing::TestWithParam<Disc> {
 protected:
  void SetUp() override { ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError(); }
};

// The same disc read from its folder and from its UDF image.
TEST_P(DvdTitles, DescribeEveryTitle) {
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(GetParam())), 3);
  DvdTitleInfo title;

  ASSERT_TRUE(DVDGetTitle(0, title));
  EXPECT_DOUBLE_EQ(title.Duration, 3.0);  // PAL: 1.2 + 1.2 + 0.6
  EXPECT_EQ(title.VideoType, 2);
  EXPECT_EQ(title.Width, 720);
  EXPECT_EQ(title.Height, 576);
  EXPECT_EQ(title.ChapterCount, 3);
  EXPECT_EQ(AudioOf(title), (std::vector<Stream>{{0x80, "English AC3 2ch"}, {0x81, "German AC3 2ch"}}));
  EXPECT_EQ(SubtitlesOf(title), (std::vector<Stream>{{0x20, "English"}}));
  EXPECT_EQ(title.DisplayAspect, 0);  // 4:3

  ASSERT_TRUE(DVDGetTitle(1, title));
  EXPECT_DOUBLE_EQ(title.Duration, 3.0);  // 1.8 s and 1.2 s from two VOBs
  EXPECT_EQ(title.ChapterCount, 2);
  EXPECT_EQ(title.AudioCount, 2);

  ASSERT_TRUE(DVDGetTitle(2, title));
  EXPECT_NEAR(title.Duration, 2 * 36 * 1001 / 30000.0, 1e-9);  // NTSC frames last 1.001 / 30 s
  EXPECT_EQ(title.Width, 720);
  EXPECT_EQ(title.Height, 480);
  EXPECT_EQ(title.ChapterCount, 2);
  EXPECT_EQ(AudioOf(title), (std::vector<Stream>{{0xC0, "French MPEG 2ch"}}));
  EXPECT_EQ(title.SubtitleCount, 0);

  EXPECT_FALSE(DVDGetTitle(3, title));
  EXPECT_FALSE(DVDGetTitle(-1, title));
}

INSTANTIATE_TEST_SUITE_P(FolderAndIso, DvdTitles, testing::Values(Disc::Folder, Disc::Iso),
                         [](const auto& info) { return info.param == Disc::Folder ? "Folder" : "Iso"; });

// What a title converted whole needs: each stream's language as ISO 639-2,
// the chapters' starts from the cells' times and the subpicture colours; the
// title reader gives the same record.
TEST(DvdTitleList, RecordsLanguagesChapterStartsAndColours) {
  ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError();
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::TwoSubtitles)), 1);
  DvdTitleInfo title;
  ASSERT_TRUE(DVDGetTitle(0, title));
  ASSERT_EQ(title.AudioCount, 2);
  EXPECT_STREQ(title.AudioLanguage[0], "eng");
  EXPECT_STREQ(title.AudioLanguage[1], "ger");
  EXPECT_EQ(SubtitlesOf(title), (std::vector<Stream>{{0x20, "English"}, {0x21, "German"}}));
  EXPECT_STREQ(title.SubtitleLanguage[0], "eng");
  EXPECT_STREQ(title.SubtitleLanguage[1], "ger");
  ASSERT_EQ(title.ChapterCount, 3);
  for (int chapter = 0; chapter < 3; ++chapter)
    EXPECT_NEAR(title.ChapterStart[chapter] / 90000.0, test_dvd::kTwoSubtitlesChapters[chapter], 0.1)
        << "chapter " << chapter + 1;
  EXPECT_EQ(title.ChapterStart[1] % 3600, 0u) << "whole PAL pictures";
  bool coloured = false;
  for (std::uint32_t colour : title.Palette) coloured = coloured || colour != 0;
  EXPECT_TRUE(coloured);

  const DvdParam param = Chapters(0, 2, 3);
  DvdTitleReader* reader = DvdReader()->open(test_dvd::Path(Disc::TwoSubtitles).c_str(), &param);
  ASSERT_NE(reader, nullptr) << DvdReader()->lastError();
  DvdTitleInfo read{};
  DvdReader()->info(reader, &read);
  DvdReader()->close(reader);
  for (int c = 0; c < DVDDEC_MAX_CHAPTER_TIMES; ++c) EXPECT_EQ(read.ChapterStart[c], title.ChapterStart[c]) << c;
  EXPECT_EQ(std::memcmp(read.Palette, title.Palette, sizeof title.Palette), 0);
  EXPECT_STREQ(read.AudioLanguage[1], "ger");
}

// dvdauthor writes CIF sizes into bits 5-3 of the IFO's resolution field,
// where libdvdread reads half-D1: the size comes from the stream itself.
TEST(DvdTitleList, CifTitlesReportTheStreamsPictureSize) {
  ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError();
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::Protected)), test_dvd::kProtectedTitleCount);
  DvdTitleInfo title;
  ASSERT_TRUE(DVDGetTitle(test_dvd::kProtectedMainTitle - 1, title));
  EXPECT_EQ(title.Width, 352);
  EXPECT_EQ(title.Height, 288);
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::Film)), 3);
  ASSERT_TRUE(DVDGetTitle(2, title));
  EXPECT_EQ(title.Width, 352);
  EXPECT_EQ(title.Height, 240);
}

TEST(DvdTitleList, WideTitlesNameTheirSubtitlesFromThe16x9Field) {
  ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError();
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::Wide)), 3);
  DvdTitleInfo title;
  ASSERT_TRUE(DVDGetTitle(0, title));
  EXPECT_EQ(title.DisplayAspect, 3);
  // The 4:3 field holds 0 as on commercial 16:9 discs; the stream is the one the 16:9 field names.
  EXPECT_EQ(SubtitlesOf(title), (std::vector<Stream>{{0x20 + test_dvd::kWideSubtitleStream, "English"}}));
  ASSERT_TRUE(DVDGetTitle(2, title));  // the other title set stays 4:3
  EXPECT_EQ(title.DisplayAspect, 0);
}

TEST(DvdTitleList, DamagedTablesGiveInvalidTitlesNotCrashes) {
  ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError();
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::TruncatedIfo)), 3);
  DvdTitleInfo title;
  EXPECT_TRUE(DVDGetTitle(0, title));
  EXPECT_TRUE(DVDGetTitle(1, title));
  std::memset(&title, 0xAB, sizeof title);
  EXPECT_FALSE(DVDGetTitle(2, title));
  EXPECT_EQ(title.ChapterCount, 0) << "the record is zero-filled before the plug-in is asked";

  // A chapter table entry pointing past the program chains.
  LogCapture log;
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::BadChapterTable)), 3);
  EXPECT_FALSE(DVDGetTitle(0, title));
  EXPECT_TRUE(DVDGetTitle(1, title));
  EXPECT_TRUE(log.Contains("Title 1 is invalid: The title's tables are inconsistent: chapter 2 names no program chain"))
      << (log.Lines().empty() ? "no warning" : log.Lines().front());
  const DvdParam whole{0, 0, 99, 0x80, 0, 2, 0};
  EXPECT_EQ(DvdReader()->open(test_dvd::Path(Disc::BadChapterTable).c_str(), &whole), nullptr);

  // Tables on which libdvdread itself crashes are refused, not read.
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::LibraryCrash)), 3);
  EXPECT_FALSE(DVDGetTitle(0, title));
  EXPECT_FALSE(DVDGetTitle(1, title));
  EXPECT_TRUE(DVDGetTitle(2, title));
  EXPECT_TRUE(log.Contains("The tables of title set 1 are damaged beyond reading."));
  const DvdParam title3{2, 0, 99, 0xC0, 0, 2, 0};
  const DvdReaderApi& reader = *DvdReader();
  DvdTitleReader* readable = reader.open(test_dvd::Path(Disc::LibraryCrash).c_str(), &title3);
  EXPECT_NE(readable, nullptr);
  if (readable) reader.close(readable);
  EXPECT_EQ(reader.open(test_dvd::Path(Disc::LibraryCrash).c_str(), &whole), nullptr);
  EXPECT_STREQ(reader.lastError(), "The tables of title set 1 are damaged.");

  // A folder without a DVD gives no titles, and the previous list is gone.
  EXPECT_EQ(DVDEnumTitle(std::string(OXBEL_PROGRAM_DIR) + "/LibAV"), 0);
  EXPECT_FALSE(DVDGetTitle(0, title));
}

}  // namespace
