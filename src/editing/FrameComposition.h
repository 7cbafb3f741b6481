#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QPoint>
#include <QString>

#include "editing/EffectSettings.h"
#include "engine/face/EngineRecords.h"

// The watermarks, the colour effects and the crop outline drawn into decoded
// 24-bit BGR frames, for the conversion hook and the effects preview. Painting
// works on QImage wrappers of the frame's own bytes, so any thread may call
// these on a frame it owns (QPainter on a QImage needs no GUI thread).

// Draws `text` with the top-left corner of its cell at (left, top), without a
// background. Point sizes are taken at 96 dots per inch.
void DrawWatermarkText(TBitmap24& frame, const QString& text, const QFont& font, const QColor& colour, int left,
                       int top);

// Any picture file Qt reads (BMP among them) as a 24-bit BGR bitmap, rows
// without padding. Throws std::runtime_error naming the file when it cannot be read.
TBitmap24 LoadWatermarkImage(const QString& path);

// One frame's effects in the order ProcessText and ProcessImage choose:
//   text only:   text, colour, exposure, image (the text is adjusted, the picture not)
//   image only:  image, colour, exposure, text
//   both:        text, image, colour, exposure
//   neither:     colour, exposure, text, image
// A step with nothing to do is skipped: no text, no picture (`image` null or
// no path), neutral colour values, exposure 0.
void ComposeFrame(TBitmap24& frame, const EffectSettings& s, const TBitmap24* image);

// The crop editor's outline: green (0, 128, 0), 2 pixels wide, its outer edge
// through the pixels (cropLeft + 1, cropTop + 1) and
// (width - cropRight - 2, height - cropBottom - 2). Nothing when that is empty.
void DrawCropOutline(TBitmap24& frame, int cropTop, int cropLeft, int cropBottom, int cropRight);

// A watermark's top-left corner from its place in percent of the frame.
QPoint WatermarkPosition(int frameWidth, int frameHeight, int horizPercent, int vertPercent);

// The watermark picture of one task or one dialog, read from disk on first use
// and again when the file's modification time or size changes. Not
// thread-safe: the owner guards it.
class WatermarkImageCache {
 public:
  // The picture at `path`, null for an empty path. Valid until the next call.
  // Throws like LoadWatermarkImage, on every call while the file stays unreadable.
  const TBitmap24* Get(const QString& path);

 private:
  QString path_;
  QDateTime modified_;
  qint64 size_ = -1;
  TBitmap24 image_;
};
