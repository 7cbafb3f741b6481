#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "CellStream.h"
#include "PluginLog.h"

namespace {

using dvddec::kSectorSize;

// Sectors that are packs carrying their own number; listed sectors fail
// their next reads (INT_MAX: always).
class FakeDisc : public dvddec::BlockSource {
 public:
  std::map<std::uint32_t, int> failures;
  int reads = 0;

  int ReadBlocks(std::uint32_t sector, int count, std::uint8_t* data) override {
    ++reads;
    for (std::uint32_t s = sector; s < sector + std::uint32_t(count); ++s) {
      auto failure = failures.find(s);
      if (failure == failures.end() || failure->second == 0) continue;
      if (count == 1 && failure->second != INT_MAX) --failure->second;
      return -1;
    }
    for (int i = 0; i < count; ++i) Fill(sector + std::uint32_t(i), data + size_t(i) * kSectorSize);
    return count;
  }

  static void Fill(std::uint32_t sector, std::uint8_t* data) {
    std::memset(data, 0, kSectorSize);
    const std::uint8_t header[] = {0, 0, 1, 0xBA, 0x44};
    std::memcpy(data, header, sizeof header);
    std::memcpy(data + 100, &sector, sizeof sector);
  }
};

// The sector number a pack of the stream carries, -1 for padding.
std::vector<long> SectorsOf(const std::string& data) {
  std::vector<long> sectors;
  for (size_t offset = 0; offset + kSectorSize <= data.size(); offset += kSectorSize) {
    if (data[offset + 17] == '\xBE') {
      sectors.push_back(-1);
      continue;
    }
    std::uint32_t sector;
    std::memcpy(&sector, data.data() + offset + 100, sizeof sector);
    sectors.push_back(long(sector));
  }
  return sectors;
}

std::vector<long> Range(long first, long last) {
  std::vector<long> values;
  for (long v = first; v <= last; ++v) values.push_back(v);
  return values;
}

std::vector<long> Join(std::vector<std::vector<long>> parts) {
  std::vector<long> joined;
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

std::vector<std::string> warnings;
void Collect(int level, const char* message) {
  if (level <= dvddec::kLogWarning) warnings.push_back(message);
}

class CellStreamTest : public testing::Test {
 protected:
  void SetUp() override {
    warnings.clear();
    dvddec::SetLogCallback(&Collect);
  }
  void TearDown() override { dvddec::SetLogCallback(nullptr); }

  std::string ReadAll(dvddec::CellStream& stream, int piece = 5000) {
    std::string data;
    std::vector<std::uint8_t> buffer(static_cast<size_t>(piece));
    int read;
    while ((read = stream.Read(buffer.data(), piece)) > 0)
      data.append(reinterpret_cast<char*>(buffer.data()), size_t(read));
    last = read;
    return data;
  }

  FakeDisc disc;
  int last = 0;
};

TEST_F(CellStreamTest, PassingReadErrorsAreRetried) {
  const dvddec::TitleCells title{{{0, 39, 1}}, {0, 10, 20, 30}};
  disc.failures[5] = 2;
  dvddec::CellStream stream(disc, title);
  EXPECT_EQ(SectorsOf(ReadAll(stream)), Range(0, 39));
  EXPECT_TRUE(warnings.empty());
}

// The bad sector and the rest of its VOBU become padding; positions keep their data.
TEST_F(CellStreamTest, LastingReadErrorsSkipToTheNextVobu) {
  const dvddec::TitleCells title{{{0, 39, 1}, {100, 109, 1}}, {0, 10, 20, 30, 100, 105}};
  disc.failures[12] = INT_MAX;
  disc.failures[107] = INT_MAX;
  dvddec::CellStream stream(disc, title);
  EXPECT_EQ(SectorsOf(ReadAll(stream)),
            Join({Range(0, 11), std::vector<long>(8, -1), Range(20, 39), Range(100, 106), {-1, -1, -1}}));
  EXPECT_EQ(last, 0);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[0].find("skipped 8 unreadable sectors"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[1].find("skipped 3 unreadable sectors"), std::string::npos) << "to the end of the last cell";

  // Reading again from before the damage gives the good sectors again.
  ASSERT_EQ(stream.Seek(10 * kSectorSize), 10 * kSectorSize);
  std::vector<std::uint8_t> two(2 * kSectorSize);
  ASSERT_EQ(stream.Read(two.data(), int(two.size())), int(two.size()));
  EXPECT_EQ(SectorsOf(std::string(two.begin(), two.end())), (std::vector<long>{10, 11}));
}

TEST_F(CellStreamTest, ATitleWithNoReadableSectorFails) {
  const dvddec::TitleCells title{{{0, 9, 1}}, {0, 5}};
  for (std::uint32_t sector = 0; sector < 10; ++sector) disc.failures[sector] = INT_MAX;
  dvddec::CellStream stream(disc, title);
  EXPECT_EQ(ReadAll(stream).size(), 10u * kSectorSize);
  EXPECT_EQ(last, -1);
  EXPECT_STREQ(dvddec::LastErrorText(), "No sector of the title could be read.");
}

}  // namespace
