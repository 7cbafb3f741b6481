#include "editing/FrameComposition.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstring>
#include <stdexcept>

#include "editing/PixelEffects.h"

namespace {

constexpr int kDotsPerMeterAt96Dpi = 3780;
constexpr int kOutlineWidth = 2;

// A QImage over the frame's bytes (Format_BGR888 is byte order blue, green,
// red), null when the frame holds no picture.
QImage FrameImage(TBitmap24& frame) {
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Stride < frame.Width * 3 ||
      frame.Bits.size() < std::size_t(frame.Stride) * std::size_t(frame.Height))
    return {};
  QImage image(frame.Bits.data(), frame.Width, frame.Height, frame.Stride, QImage::Format_BGR888);
  // Font point sizes as on a 96 dpi screen, whatever the platform reports.
  image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
  image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
  return image;
}

enum class Step { Text, Image, Colour, Exposure };

std::array<Step, 4> StepOrder(bool processText, bool processImage) {
  using enum Step;
  if (processText && processImage) return {Text, Image, Colour, Exposure};
  if (processText) return {Text, Colour, Exposure, Image};
  if (processImage) return {Image, Colour, Exposure, Text};
  return {Colour, Exposure, Text, Image};
}

void RunStep(Step step, TBitmap24& frame, const EffectSettings& s, const TBitmap24* image) {
  switch (step) {
    case Step::Text:
      if (!s.Text.isEmpty()) DrawWatermarkText(frame, s.Text, s.Font, s.FontColor, s.TextLeft, s.TextTop);
      break;
    case Step::Image:
      if (image && !s.ImagePath.isEmpty())
        OverlayImage(frame, *image, s.ImageLeft, s.ImageTop, s.ImageAlpha, s.ImageBlendStyle);
      break;
    case Step::Colour:
      if (!s.ColourNeutral()) ApplyColour(frame, s.Brightness, s.Contrast, s.Saturation);
      break;
    case Step::Exposure:
      if (s.Exposure != 0) ApplyExposure(frame, float(s.Exposure));
      break;
  }
}

}  // namespace

void DrawWatermarkText(TBitmap24& frame, const QString& text, const QFont& font, const QColor& colour, int left,
                       int top) {
  QImage image = FrameImage(frame);
  if (image.isNull()) return;
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(QPointF(left, top + painter.fontMetrics().ascent()), text);
}

TBitmap24 LoadWatermarkImage(const QString& path) {
  const QImage loaded(path);
  if (loaded.isNull())
    throw std::runtime_error("Cannot read the watermark picture \"" + path.toStdString() + "\"");
  const QImage picture = loaded.convertToFormat(QImage::Format_BGR888);
  TBitmap24 bitmap;
  bitmap.Width = picture.width();
  bitmap.Height = picture.height();
  bitmap.Stride = bitmap.Width * 3;
  bitmap.Bits.resize(std::size_t(bitmap.Stride) * std::size_t(bitmap.Height));
  for (int y = 0; y < bitmap.Height; ++y)
    std::memcpy(bitmap.Bits.data() + std::size_t(y) * std::size_t(bitmap.Stride), picture.constScanLine(y),
                std::size_t(bitmap.Stride));
  return bitmap;
}

void ComposeFrame(TBitmap24& frame, const EffectSettings& s, const TBitmap24* image) {
  for (const Step step : StepOrder(s.ProcessText, s.ProcessImage)) RunStep(step, frame, s, image);
}

void DrawCropOutline(TBitmap24& frame, int cropTop, int cropLeft, int cropBottom, int cropRight) {
  QImage image = FrameImage(frame);
  if (image.isNull()) return;
  const QRect outer(QPoint(cropLeft + 1, cropTop + 1),
                    QPoint(frame.Width - cropRight - 2, frame.Height - cropBottom - 2));
  if (outer.isEmpty()) return;
  // Filled bands rather than a stroked pen, so the covered pixels do not
  // depend on how the painter centres a 2-pixel line.
  const QColor green(0, 128, 0);
  QPainter painter(&image);
  painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), kOutlineWidth), green);
  painter.fillRect(QRect(outer.left(), outer.bottom() - kOutlineWidth + 1, outer.width(), kOutlineWidth), green);
  painter.fillRect(QRect(outer.left(), outer.top(), kOutlineWidth, outer.height()), green);
  painter.fillRect(QRect(outer.right() - kOutlineWidth + 1, outer.top(), kOutlineWidth, outer.height()), green);
}

QPoint WatermarkPosition(int frameWidth, int frameHeight, int horizPercent, int vertPercent) {
  return {int(qint64(frameWidth) * horizPercent / 100), int(qint64(frameHeight) * vertPercent / 100)};
}

const TBitmap24* WatermarkImageCache::Get(const QString& path) {
  if (path.isEmpty()) return nullptr;
  const QFileInfo file(path);
  const QDateTime modified = file.lastModified();
  const qint64 size = file.size();
  if (path != path_ || modified != modified_ || size != size_) {
    image_ = LoadWatermarkImage(path);  // the cache keeps its old state when this throws
    path_ = path;
    modified_ = modified;
    size_ = size;
  }
  return &image_;
}
