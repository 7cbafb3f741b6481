#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "engine/face/MediaEngine.h"
#include "media/MediaApi.h"
#include "media/MediaLogger.h"
#include "testmedia/MediaWriter.h"
#include "testmedia/TestMedia.h"
#include "support/DecodedFrames.h"
#include "support/TempHome.h"

namespace {

struct Region {
  int left = 0, right = 44, top = 0, bottom = 144;  // default: the left quarter of 176x144
};

// Mean luma of a region of the video frames of a file.
double meanLuma(const std::string& path, Region region = {}) {
  double sum = 0;
  std::int64_t count = 0;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    for (int y = region.top; y < region.bottom; ++y)
      for (int x = region.left; x < region.right; ++x) sum += frame.data[0][y * frame.linesize[0] + x];
    count += std::int64_t(region.right - region.left) * (region.bottom - region.top);
  });
  return count ? sum / double(count) : -1;
}

class MediaEngineHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine.LoadLibraries(""));
    TMediaLogger::instance().SetOnLog([this](const void*, std::uint32_t, TLogLevel, const std::string& text) {
      if (text.rfind("Error occurs OnCustomHook: ", 0) == 0) ++hookErrors;
    });
  }
  void TearDown() override { TMediaLogger::instance().SetOnLog(nullptr); }

  std::string convert(const std::string& name, bool hook,
                      const std::string& source = test_media::Path(test_media::Kind::VideoOnlyMp4)) {
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.DisableAudio = true;
    options.VideoSync = 0;
    options.EnableHook = hook;
    const int task = engine.AddTask(source);
    EXPECT_TRUE(engine.SetOutputFile(task, home.file(name.c_str()), &options)) << engine.LastErrorMessage();
    engine.StartTask(0);
    engine.ClearTasks();
    return home.file(name.c_str());
  }

  TempHome home;
  TMediaEngine engine;
  int hookErrors = 0;
};

TEST_F(MediaEngineHookTest, HandlerThatRaisesLeavesEveryFrameUnchanged) {
  const double plain = meanLuma(convert("plain.mp4", false));
  int calls = 0;
  engine.OnCustomHook = [&](TCustomMediaEngine*, THookInfo* info) {
    ++calls;
    for (auto& byte : info->Bitmap->Bits) byte = 0;  // would blacken the picture
    throw std::runtime_error("boom");
  };
  const double raised = meanLuma(convert("raised.mp4", true));
  EXPECT_EQ(calls, 50);  // 2 s at 25 frames per second
  EXPECT_EQ(hookErrors, 50);
  EXPECT_NEAR(raised, plain, 0.5);
}

TEST_F(MediaEngineHookTest, StopHookEndsTheCalls) {
  int calls = 0;
  engine.OnCustomHook = [&](TCustomMediaEngine*, THookInfo* info) {
    ++calls;
    info->StopHook = true;
  };
  convert("stopped.mp4", true);
  EXPECT_EQ(calls, 1);
}

TEST_F(MediaEngineHookTest, InvertingHandlerChangesTheOutput) {
  const double plain = meanLuma(convert("plain.mp4", false));
  int frameNumber = 0;
  engine.OnCustomHook = [&](TCustomMediaEngine*, THookInfo* info) {
    EXPECT_EQ(info->FrameNumber, ++frameNumber);
    EXPECT_EQ(info->Bitmap->Stride, info->Bitmap->Width * 3);
    for (auto& byte : info->Bitmap->Bits) byte = std::uint8_t(255 - byte);
  };
  const double inverted = meanLuma(convert("inverted.mp4", true));
  EXPECT_NEAR(inverted, 255 - plain, 6.0);
  EXPECT_GT(std::abs(inverted - plain), 10);
}

// Only the rows the handler changed are written back, at their own place;
// also into 10-bit pictures and pictures with alpha.
TEST_F(MediaEngineHookTest, ChangedBandIsWrittenBackInPlace) {
  const std::string tenBit = home.file("ten_bit.mp4"), alpha = home.file("alpha.mkv");
  test_media::WriteMedia({.muxer = "mp4",
                          .video = test_media::VideoSpec{.encoder = "libx264", .pixelFormat = AV_PIX_FMT_YUV420P10LE}},
                         tenBit);
  test_media::WriteMedia({.muxer = "matroska",
                          .video = test_media::VideoSpec{.encoder = "ffv1", .pixelFormat = AV_PIX_FMT_YUVA420P}},
                         alpha);
  for (const std::string& source : {test_media::Path(test_media::Kind::VideoOnlyMp4), tenBit, alpha}) {
    SCOPED_TRACE(source);
    const Region band{0, 176, 52, 68}, above{0, 176, 0, 40}, below{0, 176, 90, 144};
    engine.OnCustomHook = nullptr;
    const std::string plain = convert("plain.mp4", false, source);
    engine.OnCustomHook = [](TCustomMediaEngine*, THookInfo* info) {
      auto& bitmap = *info->Bitmap;
      for (int y = 50; y < 70; ++y)
        std::fill_n(bitmap.Bits.begin() + y * bitmap.Stride, bitmap.Stride, std::uint8_t(255));
    };
    const std::string marked = convert("band.mp4", true, source);
    EXPECT_GT(meanLuma(marked, band), 220);
    EXPECT_NEAR(meanLuma(marked, above), meanLuma(plain, above), 2.0);
    EXPECT_NEAR(meanLuma(marked, below), meanLuma(plain, below), 2.0);
  }
}

}  // namespace
