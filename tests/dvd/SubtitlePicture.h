#pragma once

#include <string>

namespace test_dvd {

constexpr int kSubtitleWidth = 360, kSubtitleHeight = 64;

// Writes a PNG for spumux: a white box in a black frame with a transparent
// margin, kSubtitleWidth x kSubtitleHeight, encoded by the media libraries.
void WriteSubtitlePicture(const std::string& path);

}  // namespace test_dvd
