#pragma once

#include "engine/EngineRecords.h"
#include "engine/MediaApi.h"

// Turns decoded frames into 24-bit BGR top-down bitmaps and back. The scaler
// contexts (bicubic) are kept while the size and format stay the same. One
// converter per task; used on that task's thread only.
class FrameBitmapConverter {
 public:
  FrameBitmapConverter() = default;
  ~FrameBitmapConverter();
  FrameBitmapConverter(const FrameBitmapConverter&) = delete;
  FrameBitmapConverter& operator=(const FrameBitmapConverter&) = delete;

  // False when no conversion to RGB exists for the frame's format.
  bool ToBitmap(const AVFrame* frame, TBitmap24& bitmap);
  // Writes the bitmap into the frame (same size); false when no conversion exists.
  bool FromBitmap(const TBitmap24& bitmap, AVFrame* frame);

 private:
  SwsContext* toRgb_ = nullptr;
  SwsContext* fromRgb_ = nullptr;
};
