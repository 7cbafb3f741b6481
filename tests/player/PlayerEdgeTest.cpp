// The hook, a stalled video thread, a DVD title and a source that stops
// delivering data.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "media/MediaLogger.h"
#include "PlayerFixture.h"
#include "SubtitleBoxes.h"
#include "support/TempHome.h"
#include "TestDvd.h"
#include "TestMedia.h"

using test_media::Kind;

namespace {
// Collects the logger's lines while it lives.
class LogLines {
 public:
  LogLines() {
    TMediaLogger::instance().SetOnLog([this](const void*, std::uint32_t, TLogLevel, const std::string& line) {
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
    });
  }
  ~LogLines() { TMediaLogger::instance().SetOnLog(nullptr); }
  int Count(const std::string& text) {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const std::string& line : lines_) count += line.find(text) != std::string::npos;
    return count;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

// The red share of the sink's picture (BGRA bytes).
bool MostlyRed(const SinkPicture& picture) {
  int red = 0, total = 0;
  for (std::size_t i = 0; i + 3 < picture.Pixels.size(); i += 4 * 97, ++total)
    red += picture.Pixels[i + 2] > 200 && picture.Pixels[i] < 60 && picture.Pixels[i + 1] < 60;
  return red * 10 > total * 9;
}

void PaintRed(TBitmap24& bitmap) {
  for (int y = 0; y < bitmap.Height; ++y)
    for (int x = 0; x < bitmap.Width; ++x) {
      std::uint8_t* pixel = bitmap.Bits.data() + std::size_t(y) * std::size_t(bitmap.Stride) + std::size_t(x) * 3;
      pixel[0] = 0;
      pixel[1] = 0;
      pixel[2] = 255;
    }
}
}  // namespace

TEST_F(PlayerTest, HookDrawsOnThePictureAndAFailingHookLeavesItAsDecoded) {
  LogLines log;
  std::atomic<bool> raise{false};
  std::atomic<int> calls{0};
  std::atomic<std::int64_t> lastPts{-1};
  player.SetOnHook([&](TCustomPlayer*, TBitmap24& bitmap, std::int64_t pts) {
    ++calls;
    lastPts = pts;
    PaintRed(bitmap);
    if (raise) throw std::runtime_error("boom");
  });
  player.SetHook(true);
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return calls > 5 && sink.Picture(); }, 5));
  EXPECT_TRUE(MostlyRed(*sink.Picture()));
  EXPECT_EQ(player.CurrentFrame().Width, 320);
  EXPECT_GE(lastPts.load(), 0);

  raise = true;
  PumpFor(0.4);
  EXPECT_FALSE(MostlyRed(*sink.Picture()));
  EXPECT_GT(log.Count("Error occurs OnHook: boom"), 3);
  const std::int64_t position = player.Position();
  PumpFor(0.2);
  EXPECT_GT(player.Position(), position);  // playback goes on

  player.SetHook(false);
  const int before = calls;
  PumpFor(0.2);
  EXPECT_LE(calls - before, 1);
}

TEST_F(PlayerTest, APictureHalfASecondLateIsDroppedEvenWhenAlone) {
  // The video thread stalls once for 0.8 s; the picture it then queues is
  // alone and far too late, so it is dropped instead of shown.
  std::atomic<int> frame{0};
  player.SetOnHook([&](TCustomPlayer*, TBitmap24&, std::int64_t) {
    if (++frame == 10) std::this_thread::sleep_for(std::chrono::milliseconds(800));
  });
  player.SetHook(true);
  ASSERT_TRUE(player.Open(test_media::Path(Kind::VideoOnlyMp4), &sink));
  ASSERT_TRUE(PumpUntil([&] { return frame > 14; }, 5));
  PumpFor(0.3);
  EXPECT_GE(player.DroppedPictures(), 1);
  EXPECT_GT(player.ShownPictures(), 9);
}

TEST_F(PlayerTest, DvdTitlePlaysAndSeeksBackward) {
  ASSERT_TRUE(LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation)) << DvdLastError();
  DvdParam param{};
  param.Title = 1;  // the second title: two VOBs, whose clocks restart between its cells
  param.FromChapter = 0;
  param.ToChapter = 99;
  param.AudioID = 128;
  param.SubtitleID = 32;
  param.AudioChannels = 2;
  ASSERT_TRUE(player.Open(BuildOpenDvdString(test_dvd::Path(test_dvd::Disc::Folder), param), &sink))
      << player.LastErrorMessage();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].width, 720);
  EXPECT_NEAR(double(opened[0].duration), 3000000, 100000);
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 2200000; }, 6));
  // Across the cell boundary at 1.8 s the position went on without a jump back.
  for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_GT(positions[i], positions[i - 1] - 100000);

  player.Seek(0, true, 500000);
  ASSERT_TRUE(PumpUntil([&] { return player.Position() < 1600000; }, 2));
  EXPECT_NEAR(double(player.Position()), 500000, 1000000);
  const int presented = sink.Presented();
  ASSERT_TRUE(PumpUntil([&] { return sink.Presented() > presented + 5; }, 3));
  ASSERT_TRUE(PumpUntil([&] { return HasState(psEnd); }, 6));
}

// The chosen DVD subpicture stream is met only at its first subtitle, 30 s
// into the title: it is opened then and its box drawn into the pictures.
TEST_F(PlayerTest, DvdSubtitleFirstMetLateIsDrawn) {
  ASSERT_TRUE(LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation)) << DvdLastError();
  DvdParam param{};
  param.ToChapter = 99;
  param.AudioID = 128;
  param.SubtitleID = 0x21;  // stream 1: the bottom box
  param.AudioChannels = 2;
  ASSERT_TRUE(player.Open(BuildOpenDvdString(test_dvd::Path(test_dvd::Disc::WideSubtitles), param), &sink))
      << player.LastErrorMessage();
  const auto seconds = [](double value) { return std::int64_t(value * 1000000); };
  player.Seek(0, true, seconds(test_dvd::kLateSubtitleStart - 1));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > seconds(test_dvd::kLateSubtitleStart + 0.4); }, 6));
  std::int64_t shownAt = -1;
  const TBitmap24& picture = player.CurrentFrame(&shownAt);
  ASSERT_EQ(picture.Width, test_dvd::kWideWidth);
  ASSERT_GT(shownAt, seconds(test_dvd::kLateSubtitleStart + 0.2));
  ASSERT_LT(shownAt, seconds(test_dvd::kLateSubtitleEnd - 0.2));
  const auto luma = [&](int x, int y) {
    const std::uint8_t* pixel = picture.Bits.data() + std::size_t(y) * std::size_t(picture.Stride) + std::size_t(x) * 3;
    return 0.114 * pixel[0] + 0.587 * pixel[1] + 0.299 * pixel[2];
  };
  EXPECT_TRUE(test_dvd::ShowsBox(luma, test_dvd::kBottomBox));
  EXPECT_FALSE(test_dvd::ShowsBox(luma, test_dvd::kTopBox));
}

TEST_F(PlayerTest, StopReturnsWhenTheSourceStopsDeliveringData) {
  // A pipe that delivered the first part of a WAV file and then nothing:
  // the read thread sits in the system's read.
  TempHome home;
  const std::string fifo = home.file("stalled.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::ifstream sourceFile(test_media::Path(Kind::Wav), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(sourceFile)), std::istreambuf_iterator<char>());
  std::atomic<bool> release{false};
  std::thread writer([&] {
    const int fd = open(fifo.c_str(), O_WRONLY);
    if (fd < 0) return;
    std::size_t written = 0;
    const std::size_t part = bytes.size() * 3 / 4;
    while (written < part) {
      const ssize_t n = write(fd, bytes.data() + written, part - written);
      if (n <= 0) break;
      written += std::size_t(n);
    }
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    close(fd);
  });
  const bool opened = player.Open(fifo, &sink);
  if (opened) {
    PumpFor(1.5);
    const auto start = std::chrono::steady_clock::now();
    player.Stop(true);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_TRUE(HasState(psStop));
  }
  release = true;
  writer.join();
  ASSERT_TRUE(opened) << player.LastErrorMessage();
  // The player opens the next source as usual.
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 200000; }, 5));
}
