#pragma once

#include <string>

namespace test_dvd {

constexpr int kSubtitleWidth = 360, kSubtitleHeight = 64;

// Writes a PNG for spumux: a white box in a black frame with a transparent
// margin, width x height, encoded by the media libraries.
void WriteSubtitlePicture(const std::string& path, int width = kSubtitleWidth, int height = kSubtitleHeight);

}  // namespace test_dvd
