#pragma once

// A PAL clip whose two fields are taken at two moments (truly interlaced), or
// at one (progressive, only flagged interlaced), and how combed a picture is.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "testmedia/InterlacedBar.h"
#include "testmedia/MediaWriter.h"
#include "support/DecodedFrames.h"

namespace interlaced_clips {

inline constexpr int kWidth = 720, kHeight = 576;

// Differences between neighbouring lines against lines two apart, in one
// plane of 8-bit samples `step` bytes apart: a combed picture differs from
// line to line far more.
inline double CombRatio(const std::uint8_t* data, int stride, int width, int height, int step = 1) {
  double neighbours = 0, twoApart = 0;
  for (int y = 0; y + 2 < height; ++y) {
    const std::uint8_t* row = data + std::ptrdiff_t(y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::ptrdiff_t at = std::ptrdiff_t(x) * step;
      neighbours += std::abs(row[at] - row[at + stride]);
      twoApart += std::abs(row[at] - row[at + 2 * stride]);
    }
  }
  return neighbours / (twoApart + 1);
}

// The comb ratio of the middle picture of a file.
inline double CombRatio(const std::string& path) {
  std::vector<double> ratios;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    ratios.push_back(CombRatio(frame.data[0], frame.linesize[0], frame.width, frame.height));
  });
  return ratios.empty() ? -1 : ratios[ratios.size() / 2];
}

// A 0.6 s MPEG-2 program stream of the bar, as DVDs and broadcast hold it.
inline std::string WriteBarClip(bool fieldsApart, const std::string& path) {
  test_media::MediaSpec spec;
  spec.muxer = "mpeg";
  spec.video = test_media::VideoSpec{.encoder = "mpeg2video", .width = kWidth, .height = kHeight,
                                     .bitRate = 15000000, .maxRate = 15000000, .bufferSize = 1835008,
                                     .options = {{"flags", "+ildct+ilme"}},
                                     .draw = [fieldsApart](AVFrame& frame, std::int64_t index) {
                                       test_media::DrawInterlacedBar(frame, index, fieldsApart);
                                     }};
  spec.seconds = 0.6;
  test_media::WriteMedia(spec, path);
  return path;
}

}  // namespace interlaced_clips
