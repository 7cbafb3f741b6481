#pragma once

// Clips stored sideways with a display matrix, as phones write them, and how
// to tell where their marker is shown.
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "testmedia/MediaWriter.h"
#include "support/DecodedFrames.h"

namespace turned_clips {

using Matrix = std::array<std::int32_t, 9>;
inline constexpr std::int32_t k = 1 << 16, w = 1 << 30;

struct Turn {
  const char* name;
  Matrix matrix;
};

// The eight ways to lay a picture on a screen, as display matrices.
inline constexpr Turn kTurns[] = {
    {"upright", {k, 0, 0, 0, k, 0, 0, 0, w}},       {"quarter clockwise", {0, k, 0, -k, 0, 0, 0, 0, w}},
    {"half", {-k, 0, 0, 0, -k, 0, 0, 0, w}},         {"quarter anticlockwise", {0, -k, 0, k, 0, 0, 0, 0, w}},
    {"mirror", {-k, 0, 0, 0, k, 0, 0, 0, w}},        {"upside-down mirror", {k, 0, 0, 0, -k, 0, 0, 0, w}},
    {"transposed", {0, k, 0, k, 0, 0, 0, 0, w}},     {"anti-transposed", {0, -k, 0, -k, 0, 0, 0, 0, w}},
};

// Where the display puts a stored point relative to the picture's middle, by
// the matrix's own definition: (p, q) -> (a p + c q, b p + d q).
inline std::pair<int, int> ShownSide(const Matrix& m, double p, double q) {
  auto sign = [](double v) { return (v > 0) - (v < 0); };
  return {sign(double(m[0]) * p + double(m[3]) * q), sign(double(m[1]) * p + double(m[4]) * q)};
}

// Which side of the middle (-1, 0, 1 across and down) the bright marker of a
// picture lies on; 0, 0 without one.
inline std::pair<int, int> BrightSide(const std::uint8_t* luma, int stride, int width, int height, int step = 1) {
  double sumX = 0, sumY = 0, count = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (luma[std::ptrdiff_t(y) * stride + std::ptrdiff_t(x) * step] > 128) sumX += x, sumY += y, ++count;
  if (count == 0) return {0, 0};
  auto sign = [](double v) { return (v > 0.5) - (v < -0.5); };
  return {sign(sumX / count - width / 2.0), sign(sumY / count - height / 2.0)};
}

// The marker's side in the first decoded picture of a file.
inline std::pair<int, int> MarkerSide(const std::string& path) {
  std::pair<int, int> side{0, 0};
  bool first = true;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    if (std::exchange(first, false)) side = BrightSide(frame.data[0], frame.linesize[0], frame.width, frame.height);
  });
  return side;
}

// A 0.4 s 192x112 MPEG-4 clip in MP4 with the corner marker, stored with the
// turn's matrix.
inline std::string WriteTurnedClip(const Turn& turn, const std::string& path) {
  test_media::MediaSpec spec;
  spec.muxer = "mp4";
  spec.video = test_media::VideoSpec{.encoder = "mpeg4", .width = 192, .height = 112, .cornerMarker = true,
                                     .displayMatrix = turn.matrix};
  spec.seconds = 0.4;
  test_media::WriteMedia(spec, path);
  return path;
}

}  // namespace turned_clips
