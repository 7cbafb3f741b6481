#pragma once

#include <cstdint>

#include "engine/face/EngineRecords.h"

// Test frames: every pixel (blue, green, red) alike, rows padded by `padding`
// bytes of 0xEE that no routine may touch.
inline TBitmap24 FilledBitmap(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r, int padding = 0) {
  TBitmap24 bitmap;
  bitmap.Width = width;
  bitmap.Height = height;
  bitmap.Stride = width * 3 + padding;
  bitmap.Bits.assign(std::size_t(bitmap.Stride) * std::size_t(height), 0xEE);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &bitmap.Bits[std::size_t(y) * std::size_t(bitmap.Stride) + std::size_t(x) * 3];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  return bitmap;
}

inline const std::uint8_t* PixelAt(const TBitmap24& bitmap, int x, int y) {
  return &bitmap.Bits[std::size_t(y) * std::size_t(bitmap.Stride) + std::size_t(x) * 3];
}
