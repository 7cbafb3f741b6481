#include <gtest/gtest.h>

#include <cstdlib>

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "testmedia/TestMedia.h"
#include "MediaWriter.h"
#include "probe/BorderDetection.h"
#include "support/TempHome.h"
#include "TestDvd.h"

namespace {

using test_media::MediaSpec;
using test_media::VideoSpec;

constexpr int kTolerance = 4;

void expectMargins(const BorderMargins& found, int rows, int columns) {
  EXPECT_NEAR(found.Top, rows, kTolerance);
  EXPECT_NEAR(found.Bottom, rows, kTolerance);
  EXPECT_NEAR(found.Left, columns, kTolerance);
  EXPECT_NEAR(found.Right, columns, kTolerance);
  for (int side : {found.Top, found.Left, found.Bottom, found.Right}) EXPECT_EQ(side % 2, 0) << side;
}

class BorderDetection : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  // Three seconds of the test pattern in a 320x180 frame, MPEG-4 in MP4 unless told.
  std::string write(const std::string& name, VideoSpec video, const std::string& muxer = "mp4") const {
    if (video.encoder.empty()) video.encoder = "mpeg4";
    const std::string path = home.file(name.c_str());
    test_media::WriteMedia(MediaSpec{.muxer = muxer, .video = video, .seconds = 3}, path);
    return path;
  }

  TempHome home;
};

// A 2.35:1 picture in a 16:9 frame, through the seeking decoders of three
// codecs and containers, and a raw stream without a duration read from its start.
TEST_F(BorderDetection, LetterboxedPictureShowsItsBarsOnly) {
  const VideoSpec h264{.encoder = "libx264", .options = {{"preset", "ultrafast"}}};
  struct Case {
    std::string name, muxer;
    VideoSpec video;
  } cases[] = {
      {"mpeg4.mp4", "mp4", {.width = 320, .height = 180, .letterboxRows = 22}},
      {"h264.mp4", "mp4", {.encoder = h264.encoder, .width = 640, .height = 360, .options = h264.options, .letterboxRows = 44}},
      {"mpeg2.mpg", "mpeg", {.encoder = "mpeg2video", .width = 320, .height = 180, .letterboxRows = 22}},
      {"untimed.h264", "h264", {.encoder = h264.encoder, .width = 320, .height = 180, .options = h264.options, .letterboxRows = 22}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectMargins(DetectBorders(write(c.name, c.video, c.muxer)), c.video.letterboxRows, 0);
  }
}

TEST_F(BorderDetection, PillarboxedAndPlainPictures) {
  expectMargins(DetectBorders(write("pillarbox.mp4", {.width = 320, .height = 180, .pillarboxColumns = 40})), 0, 40);
  expectMargins(DetectBorders(write("plain.mp4", {.width = 320, .height = 180})), 0, 0);
}

// cropdetect reports crossed bounds for a picture without a bright line; such
// samples tell nothing and must not become margins of the whole frame.
TEST_F(BorderDetection, BlackPictureHasNoBorders) {
  const BorderMargins found = DetectBorders(write("black.mp4", {.width = 320, .height = 180, .letterboxRows = 90}));
  EXPECT_EQ(found.Top, 0);
  EXPECT_EQ(found.Left, 0);
  EXPECT_EQ(found.Bottom, 0);
  EXPECT_EQ(found.Right, 0);
}

TEST_F(BorderDetection, SourcesWithoutPicturesThrowWithTheirName) {
  const std::string missing = home.file("missing.mp4");
  const std::string audio = test_media::Path(test_media::Kind::AudioOnlyM4a);
  for (const auto& [source, reason] : {std::pair{missing, "No such file"}, std::pair{audio, "no video stream"}}) {
    try {
      DetectBorders(source);
      ADD_FAILURE() << source << " gave margins";
    } catch (const EngineException& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find(source), std::string::npos) << text;
      EXPECT_NE(text.find(reason), std::string::npos) << text;
    }
  }
}

// A DVD title seeks by the disc's tables; its pictures fill the frame.
TEST_F(BorderDetection, DvdTitleWithoutBars) {
  ASSERT_TRUE(LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation)) << DvdLastError();
  DvdParam param{};
  param.Title = 0;
  param.ToChapter = 99;
  param.AudioID = 0x80;
  param.AudioChannels = 2;
  expectMargins(DetectBorders(BuildOpenDvdString(test_dvd::Path(test_dvd::Disc::Folder), param)), 0, 0);
}

}  // namespace
