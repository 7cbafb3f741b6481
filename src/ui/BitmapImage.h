#pragma once

#include <QImage>

#include "engine/face/EngineRecords.h"

// A copy of a 24-bit BGR bitmap as an image (null for a bitmap without area).
inline QImage ImageOfBitmap(const TBitmap24& bitmap) {
  if (bitmap.Width <= 0 || bitmap.Height <= 0) return {};
  return QImage(bitmap.Bits.data(), bitmap.Width, bitmap.Height, bitmap.Stride, QImage::Format_BGR888).copy();
}
