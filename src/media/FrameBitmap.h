#pragma once

#include "media/Bitmap24.h"
#include "media/MediaApi.h"

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
  // Writes back only the rows of the bitmap that differ from `before` (a copy
  // taken before it was handed out); an unchanged bitmap leaves the frame as it
  // was. The frame is made writable first when a row changed.
  bool FromChangedRows(const TBitmap24& bitmap, const std::vector<std::uint8_t>& before, AVFrame* frame);

 private:
  SwsContext* toRgb_ = nullptr;
  SwsContext* fromRgb_ = nullptr;
  SwsContext* fromRgbBand_ = nullptr;  // for the rows a hook changed
};
