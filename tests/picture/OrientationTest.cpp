// Clips that phones store sideways with a display matrix come out upright.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/MediaLoader.h"
#include "engine/MediaProbe.h"
#include "media/MediaWriter.h"
#include "picture/Orientation.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

using Matrix = std::array<std::int32_t, 9>;
constexpr std::int32_t k = 1 << 16, w = 1 << 30;

struct Turn {
  const char* name;
  Matrix matrix;
};

// The eight ways to lay a picture on a screen, as display matrices.
constexpr Turn kTurns[] = {
    {"upright", {k, 0, 0, 0, k, 0, 0, 0, w}},       {"quarter clockwise", {0, k, 0, -k, 0, 0, 0, 0, w}},
    {"half", {-k, 0, 0, 0, -k, 0, 0, 0, w}},         {"quarter anticlockwise", {0, -k, 0, k, 0, 0, 0, 0, w}},
    {"mirror", {-k, 0, 0, 0, k, 0, 0, 0, w}},        {"upside-down mirror", {k, 0, 0, 0, -k, 0, 0, 0, w}},
    {"transposed", {0, k, 0, k, 0, 0, 0, 0, w}},     {"anti-transposed", {0, -k, 0, -k, 0, 0, 0, 0, w}},
};

// Where the display puts a stored point relative to the picture's middle, by
// the matrix's own definition: (p, q) -> (a p + c q, b p + d q).
std::pair<int, int> ShownSide(const Matrix& m, double p, double q) {
  auto sign = [](double v) { return (v > 0) - (v < 0); };
  return {sign(double(m[0]) * p + double(m[3]) * q), sign(double(m[1]) * p + double(m[4]) * q)};
}

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

// Which side of the middle the marker of the first decoded picture lies on.
std::pair<int, int> MarkerSide(const std::string& path, int* width = nullptr, int* height = nullptr) {
  std::pair<int, int> side{0, 0};
  bool first = true;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    if (!first) return;
    first = false;
    double sumX = 0, sumY = 0, count = 0;
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x)
        if (frame.data[0][std::ptrdiff_t(y) * frame.linesize[0] + x] > 128) sumX += x, sumY += y, ++count;
    if (count == 0) return;
    auto sign = [](double v) { return (v > 0.5) - (v < -0.5); };
    side = {sign(sumX / count - frame.width / 2.0), sign(sumY / count - frame.height / 2.0)};
    if (width) *width = frame.width;
    if (height) *height = frame.height;
  });
  return side;
}

class RotatedClips : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  // A 2 s 192x112 clip with the corner marker, stored with the matrix.
  std::string Clip(const Turn& turn, const std::string& name) const {
    test_media::MediaSpec spec;
    spec.muxer = "mp4";
    spec.video = test_media::VideoSpec{.encoder = "mpeg4", .width = 192, .height = 112, .cornerMarker = true,
                                       .displayMatrix = turn.matrix};
    spec.seconds = 0.4;
    const std::string path = home.file(name.c_str());
    test_media::WriteMedia(spec, path);
    return path;
  }

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

}  // namespace
