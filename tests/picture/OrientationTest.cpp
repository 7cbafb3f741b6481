// Clips that phones store sideways with a display matrix come out upright.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "media/MediaLoader.h"
#include "picture/Orientation.h"
#include "picture/TurnedClips.h"
#include "probe/BorderDetection.h"
#include "probe/MediaProbe.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

using namespace turned_clips;

// Applies the orientation's filters' meaning to the same point: the mirror
// swaps left and right, each clockwise quarter turn sends (x, y) to (-y, x).
std::pair<int, int> TurnedSide(const Orientation& orientation, int x, int y) {
  if (orientation.mirrored) x = -x;
  for (int i = 0; i < orientation.quarterTurns; ++i) {
    const int turned = -y;
    y = x;
    x = turned;
  }
  return {x, y};
}

TEST(Orientation, EveryQuarterTurnAndMirrorIsRead) {
  for (const Turn& turn : kTurns) {
    SCOPED_TRACE(turn.name);
    const auto orientation = Orientation::FromDisplayMatrix(turn.matrix.data());
    ASSERT_TRUE(orientation);
    for (const auto& [x, y] : {std::pair{-1, -1}, std::pair{1, -1}, std::pair{-1, 1}})
      EXPECT_EQ(TurnedSide(*orientation, x, y), ShownSide(turn.matrix, x, y)) << x << "," << y;
    EXPECT_EQ(orientation->SwapsSides(), turn.matrix[0] == 0);
  }
  // A matrix that scales keeps its turn; a skew or a singular one is no turn.
  const Matrix scaled{0, 2 * k, 0, -2 * k, 0, 0, 0, 0, w};
  EXPECT_EQ(Orientation::FromDisplayMatrix(scaled.data())->quarterTurns, 1);
  const Matrix skewed{k, k / 2, 0, 0, k, 0, 0, 0, w}, singular{0, 0, 0, 0, 0, 0, 0, 0, w};
  EXPECT_FALSE(Orientation::FromDisplayMatrix(skewed.data()));
  EXPECT_FALSE(Orientation::FromDisplayMatrix(singular.data()));
}

class RotatedClips : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string Clip(const Turn& turn, const std::string& name) const { return WriteTurnedClip(turn, home.file(name.c_str())); }

  TempHome home;
};

// The probe and the command line describe the picture as shown.
TEST_F(RotatedClips, ProbeDescribesTheShownPicture) {
  const std::string clip = Clip(kTurns[1], "turned.mp4");
  TMediaProbe probe;
  ASSERT_TRUE(probe.LoadFile(clip)) << probe.LastErrorMessage();
  const TVideoStreamInfo video = probe.VideoStreamInfo();
  EXPECT_EQ(video.Width, 112);
  EXPECT_EQ(video.Height, 192);
  EXPECT_EQ(video.Rotation, 90);
  EXPECT_FALSE(video.Mirrored);
  const CliRun run = RunCli("probe '" + clip + "'");
  EXPECT_NE(run.output.find("Stream #0: shown 112x192, rotated 90 degrees clockwise"), std::string::npos)
      << run.output;
}

// The auto crop measures the shown picture: bars stored above and below a
// clip turned a quarter are at its left and right.
TEST_F(RotatedClips, BordersAreFoundOnTheShownPicture) {
  test_media::MediaSpec spec;
  spec.muxer = "mp4";
  spec.video = test_media::VideoSpec{.encoder = "mpeg4", .width = 192, .height = 112, .letterboxRows = 16,
                                     .displayMatrix = kTurns[1].matrix};
  spec.seconds = 1;
  const std::string clip = home.file("bars.mp4");
  test_media::WriteMedia(spec, clip);
  const BorderMargins margins = DetectBorders(clip);
  EXPECT_NEAR(margins.Left, 16, 2);
  EXPECT_NEAR(margins.Right, 16, 2);
  EXPECT_LE(margins.Top, 2);
  EXPECT_LE(margins.Bottom, 2);
}

// The marker lands where the display put it, the output is upright and
// carries no turn of its own: every turn into H.264, and a turn and a mirror
// through the other families of formats.
TEST_F(RotatedClips, ConversionsComeOutUpright) {
  const auto convert = [&](const Turn& turn, int code, const char* extension) {
    SCOPED_TRACE(std::string(turn.name) + " into " + std::to_string(code));
    const std::string name = std::string("clip ") + turn.name;
    const std::string clip = Clip(turn, name + ".mp4");
    const std::string folder = home.file(("out" + std::to_string(code)).c_str());
    const CliRun run = RunCli("convert --format " + std::to_string(code) + " -d '" + folder + "' '" + clip + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string output = folder + "/" + name + "_(new)." + extension;
    EXPECT_EQ(MarkerSide(output), ShownSide(turn.matrix, -1, -1));
    TMediaProbe probe;
    ASSERT_TRUE(probe.LoadFile(output)) << probe.LastErrorMessage();
    EXPECT_EQ(probe.VideoStreamInfo().Rotation, 0);
  };
  for (const Turn& turn : kTurns) convert(turn, 603, "mp4");
  for (const Turn& turn : {kTurns[1], kTurns[4]})
    for (const auto& [code, extension] : {std::pair{200, "3gp"}, std::pair{604, "avi"}, std::pair{605, "wmv"},
                                          std::pair{600, "mpg"}})
      convert(turn, code, extension);
}

// Fitting works on the shown proportions: a portrait phone clip into a
// landscape frame in letterbox mode (the catalogue's default) gets bars at
// its sides, not above and below.
TEST_F(RotatedClips, PortraitClipGetsSideBarsInALandscapeFrame) {
  const std::string clip = home.file("portrait.mp4");
  test_media::WriteMedia({.muxer = "mp4",
                          .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 320, .height = 180,
                                                         .displayMatrix = kTurns[1].matrix},
                          .seconds = 0.4},
                         clip);
  const std::string folder = home.file("out");
  const CliRun run = RunCli("convert --format 603 -d '" + folder + "' '" + clip + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  double sides = -1, middle = -1, top = -1;
  int width = 0, height = 0;
  bool first = true;
  ForEachDecodedFrame(folder + "/portrait_(new).mp4", AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    if (!std::exchange(first, false)) return;
    width = frame.width;
    height = frame.height;
    auto mean = [&](int left, int right, int from, int to) {
      double sum = 0;
      for (int y = from; y < to; ++y)
        for (int x = left; x < right; ++x) sum += frame.data[0][std::ptrdiff_t(y) * frame.linesize[0] + x];
      return sum / double((right - left) * (to - from));
    };
    sides = (mean(0, width / 10, 0, height) + mean(width - width / 10, width, 0, height)) / 2;
    middle = mean(width * 2 / 5, width * 3 / 5, height / 4, height * 3 / 4);
    top = mean(width * 2 / 5, width * 3 / 5, 0, height / 10);
  });
  ASSERT_GT(width, height) << "a landscape frame";
  EXPECT_LT(sides, 20) << "black bars at the sides";
  EXPECT_GT(middle, 40) << "the picture in the middle";
  EXPECT_GT(top, 40) << "and up to the top";
}

}  // namespace
