#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A subtitle as its decoder shows it.
struct ShownSubtitle {
  double start = 0, end = 0;  // seconds of the file
  int x = 0, y = 0, width = 0, height = 0;  // the first picture's place; 0 without one
  std::uint32_t centre = 0;   // the picture's colour (ARGB) in its middle
};

// Decodes every subtitle stream of a media file with the decoder of its codec:
// the subtitles of each stream, the streams in file order. Empty when the file
// cannot be read.
std::vector<std::vector<ShownSubtitle>> DecodeSubtitleStreams(const std::string& path);
