#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "DvdTestSupport.h"
#include "TestDvd.h"

namespace {

using test_dvd::Disc;
constexpr int kSector = test_dvd::kSectorBytes;

// An open title reader, closed at the end of the scope.
class Reader {
 public:
  Reader(Disc disc, const DvdParam* param) : api_(*DvdReader()) {
    reader_ = api_.open(test_dvd::Path(disc).c_str(), param);
  }
  Reader(Disc disc, const DvdParam& param) : Reader(disc, &param) {}
  ~Reader() {
    if (reader_) api_.close(reader_);
  }
  explicit operator bool() const { return reader_ != nullptr; }
  const DvdReaderApi& api() const { return api_; }
  DvdTitleReader* get() const { return reader_; }

  // Reads to the end in pieces that do not line up with sectors.
  std::string ReadAll() {
    std::string data;
    std::vector<std::uint8_t> buffer(10000);
    while (int read = api_.read(reader_, buffer.data(), int(buffer.size()))) {
      if (read < 0) ADD_FAILURE() << "read failed: " << api_.lastError();
      if (read < 0) break;
      data.append(reinterpret_cast<const char*>(buffer.data()), size_t(read));
    }
    return data;
  }
  std::int64_t Size() const { return api_.size(reader_); }
  double Duration() const { return api_.duration(reader_); }
  std::int64_t PositionOf(double seconds) const { return api_.timeToPosition(reader_, seconds); }

 private:
  const DvdReaderApi& api_;
  DvdTitleReader* reader_ = nullptr;
};

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string Vob(Disc disc, const char* name) { return FileBytes(test_dvd::Path(disc) + "/VIDEO_TS/" + name); }

bool IsPaddingPack(const std::string& data, size_t sector) {
  const std::string expected = std::string("\0\0\1\xBA", 4);
  return data.compare(sector * kSector, 4, expected) == 0 &&
         data.compare(sector * kSector + 14, 4, "\0\0\1\xBE", 4) == 0;
}

class DvdReaderTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BindBuiltPlugin()) << DvdLastError(); }
};

// Title set 1 holds titles 1 and 2 in this order, title set 2 only title 3:
// each title's stream is its share of the VOB, every sector of every cell.
TEST_F(DvdReaderTest, WholeTitlesAreTheirCellsInOrder) {
  const std::string set1 = Vob(Disc::Folder, "VTS_01_1.VOB");
  Reader title1(Disc::Folder, Chapters(0, 0, 99)), title2(Disc::Folder, Chapters(1, 1, 2));
  Reader title3(Disc::Folder, Chapters(2, 1, 2));
  ASSERT_TRUE(title1 && title2 && title3) << DvdReader()->lastError();
  const std::string data1 = title1.ReadAll(), data2 = title2.ReadAll();
  EXPECT_EQ(std::int64_t(data1.size()), title1.Size());
  EXPECT_EQ(data1 + data2, set1);
  EXPECT_EQ(title3.ReadAll(), Vob(Disc::Folder, "VTS_02_1.VOB"));
  EXPECT_DOUBLE_EQ(title1.Duration(), 3.0);
  EXPECT_DOUBLE_EQ(title2.Duration(), 3.0);
  EXPECT_NEAR(title3.Duration(), 2 * 1.2012, 1e-9);
}

// A range that stops before the title's end reads on a little into the next
// chapter (see ReadingGoesOnAFewVobusPastTheRange); a range to the end does not.
TEST_F(DvdReaderTest, ChapterRangesChooseTheirCells) {
  Reader all(Disc::Iso, Chapters(0, 1, 3));
  Reader first(Disc::Iso, Chapters(0, 1, 2)), last(Disc::Iso, Chapters(0, 2, 3));
  ASSERT_TRUE(all && first && last);
  const std::string whole = all.ReadAll(), head = first.ReadAll(), tail = last.ReadAll();
  EXPECT_LT(tail.size(), whole.size());
  EXPECT_GT(head.size(), whole.size() - tail.size()) << "chapters 1 and 2, and more";
  EXPECT_EQ(whole.substr(0, head.size()), head);
  EXPECT_EQ(whole.substr(whole.size() - tail.size()), tail);
  EXPECT_DOUBLE_EQ(first.Duration(), 2.4);
  EXPECT_DOUBLE_EQ(last.Duration(), 1.8);

  DvdParam param{};
  first.api().param(first.get(), &param);
  EXPECT_EQ(param.FromChapter, 1);
  EXPECT_EQ(param.ToChapter, 2);

  EXPECT_FALSE(Reader(Disc::Folder, Chapters(0, 4, 99)));
  EXPECT_NE(std::string(DvdReader()->lastError()).find("not in the title, which has 3"), std::string::npos);
  EXPECT_FALSE(Reader(Disc::Folder, Chapters(0, 3, 2)));
  EXPECT_FALSE(Reader(Disc::Folder, Chapters(3, 0, 99)));
  EXPECT_STREQ(DvdReader()->lastError(), "The DVD has no title 4.");
  EXPECT_FALSE(Reader(Disc::TruncatedIfo, Chapters(2, 0, 99))) << "title 3's tables are unreadable";
}

TEST_F(DvdReaderTest, SeekingByBytePosition) {
  Reader title(Disc::Folder, Chapters(1, 0, 99));
  ASSERT_TRUE(title);
  const std::string whole = title.ReadAll();
  for (std::int64_t position : {std::int64_t(12345), std::int64_t(kSector * 3), std::int64_t(0)}) {
    ASSERT_EQ(title.api().seek(title.get(), position), position);
    EXPECT_EQ(title.ReadAll(), whole.substr(size_t(position)));
  }
  EXPECT_EQ(title.api().seek(title.get(), title.Size() + 1), -1);
  EXPECT_EQ(title.api().seek(title.get(), -1), -1);
  Reader fresh(Disc::Folder, Chapters(1, 0, 99));
  ASSERT_EQ(fresh.api().seek(fresh.get(), fresh.Size()), fresh.Size());
  std::uint8_t byte;
  EXPECT_EQ(fresh.api().read(fresh.get(), &byte, 1), 0) << "the end, not a failure";
}

// Chapter marks fall on VOBU starts (every 0.6 s here), so a chapter's first
// byte is where its start time leads.
TEST_F(DvdReaderTest, TimesLeadToTheVobuPlayingThen) {
  Reader title(Disc::Folder, Chapters(0, 0, 99)), fromChapter2(Disc::Folder, Chapters(0, 2, 3));
  Reader title2(Disc::Folder, Chapters(1, 0, 99)), title2Chapter2(Disc::Folder, Chapters(1, 2, 2));
  ASSERT_TRUE(title && fromChapter2 && title2 && title2Chapter2);
  const std::string whole = title.ReadAll();
  const std::int64_t chapter2 = title.Size() - fromChapter2.Size();
  EXPECT_EQ(title.PositionOf(0), 0);
  EXPECT_EQ(title.PositionOf(1.2), chapter2);
  EXPECT_EQ(title.PositionOf(1.5), chapter2) << "inside a VOBU: its start";
  const std::int64_t later = title.PositionOf(1.9);
  EXPECT_GT(later, chapter2);
  EXPECT_EQ(later % kSector, 0);
  EXPECT_EQ(whole.compare(size_t(later) + 14, 4, "\0\0\1\xBB", 4), 0) << "a navigation pack starts each VOBU";
  EXPECT_EQ(title2.PositionOf(1.8), title2.Size() - title2Chapter2.Size()) << "the second VOB's cell";
  EXPECT_EQ(title.PositionOf(3.0), -1);
  EXPECT_EQ(title.PositionOf(-0.5), -1);
}

// DVD sound is stored ahead of its pictures: a range that stops before the
// title's end is read on for three VOBUs of the cells that continue it in the
// same VOB, which no time leads to. Cells of another VOB (whose clock starts
// anew) are not read on into.
TEST_F(DvdReaderTest, ReadingGoesOnAFewVobusPastTheRange) {
  Reader whole(Disc::WideSubtitles, Chapters(0, 0, 99)), chapter1(Disc::WideSubtitles, Chapters(0, 1, 1));
  Reader fromChapter2(Disc::WideSubtitles, Chapters(0, 2, 99));
  ASSERT_TRUE(whole && chapter1 && fromChapter2) << DvdReader()->lastError();
  const std::string all = whole.ReadAll(), range = chapter1.ReadAll();
  const size_t chapter2 = all.size() - size_t(fromChapter2.Size());
  ASSERT_GT(range.size(), chapter2);
  EXPECT_EQ(all.compare(0, range.size(), range), 0);
  int vobus = 0;
  for (size_t sector = chapter2 / kSector; sector < range.size() / kSector; ++sector)
    vobus += range.compare(sector * kSector + 14, 4, "\0\0\1\xBB", 4) == 0;
  EXPECT_EQ(vobus, 3);
  EXPECT_EQ(chapter1.PositionOf(chapter1.Duration() + 0.1), -1);

  Reader title2(Disc::Folder, Chapters(1, 0, 99)), title2Chapter1(Disc::Folder, Chapters(1, 1, 1));
  Reader title2Chapter2(Disc::Folder, Chapters(1, 2, 2));
  ASSERT_TRUE(title2 && title2Chapter1 && title2Chapter2);
  EXPECT_EQ(title2Chapter1.Size(), title2.Size() - title2Chapter2.Size());
}

TEST_F(DvdReaderTest, ShortFormReadsWithTheLastSetParameters) {
  DVDSetParam(Chapters(2, 2, 2));
  Reader title(Disc::Folder, nullptr);
  ASSERT_TRUE(title);
  DvdParam param{};
  title.api().param(title.get(), &param);
  EXPECT_EQ(param.Title, 2);
  EXPECT_NEAR(title.Duration(), 1.2012, 1e-9);
}

// Zeroed sectors are skipped to the next VOBU as padding, with a warning: the
// title still reads to its end, every byte position keeps its data.
TEST_F(DvdReaderTest, DamagedCopyReadsToTheEndWithAWarning) {
  Reader intact(Disc::Folder, Chapters(0, 0, 99));
  ASSERT_TRUE(intact);
  const std::string good = intact.ReadAll();
  LogCapture log;
  Reader damaged(Disc::Damaged, Chapters(0, 0, 99));
  ASSERT_TRUE(damaged);
  const std::string data = damaged.ReadAll();
  ASSERT_EQ(data.size(), good.size());
  size_t firstBad = test_dvd::kDamagedFirstSector, end = firstBad;
  while (end * kSector < data.size() && data.compare(end * kSector, kSector, good, end * kSector, kSector) != 0) {
    EXPECT_TRUE(IsPaddingPack(data, end)) << "sector " << end;
    ++end;
  }
  EXPECT_GE(end - firstBad, size_t(test_dvd::kDamagedSectorCount));
  EXPECT_EQ(data.substr(0, firstBad * kSector), good.substr(0, firstBad * kSector));
  EXPECT_EQ(data.substr(end * kSector), good.substr(end * kSector));
  EXPECT_TRUE(log.Contains("skipped " + std::to_string(end - firstBad) + " unreadable sectors"))
      << (log.Lines().empty() ? "no warning" : log.Lines().front());

  // Title 3's cells reach past its cut-short VOB: refused rather than read as endless damage.
  EXPECT_FALSE(Reader(Disc::Damaged, Chapters(2, 0, 99)));
  EXPECT_NE(std::string(DvdReader()->lastError()).find("beyond the title set's video files"), std::string::npos);
}

// A conversion reads a title on its worker thread while the user-interface
// thread lists the disc again.
TEST_F(DvdReaderTest, ReadingWhileListingTitles) {
  const std::string expected = Reader(Disc::Folder, Chapters(0, 0, 99)).ReadAll();
  std::string read;
  std::thread worker([&] {
    for (int round = 0; round < 3; ++round) read = Reader(Disc::Iso, Chapters(0, 0, 99)).ReadAll();
  });
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(DVDEnumTitle(test_dvd::Path(Disc::Folder)), 3);
    DvdTitleInfo info;
    EXPECT_TRUE(DVDGetTitle(0, info));
  }
  worker.join();
  EXPECT_EQ(read, expected);
}

}  // namespace
