#pragma once

#include <cstdint>
#include <vector>

// A 24-bit picture, bytes blue, green, red, rows top-down: what hooks, the
// player's snapshots and the preview windows get.
struct TBitmap24 {
  int Width = 0, Height = 0;
  int Stride = 0;  // bytes per row
  std::vector<std::uint8_t> Bits;
};
