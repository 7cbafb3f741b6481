#include "editing/WaterMarkPreview.h"

void WaterMarkPreview::SetSettings(const EffectSettings& settings, const WaterMarkPlaces& places) {
  const std::lock_guard lock(mutex_);
  settings_ = settings;
  places_ = places;
}

void WaterMarkPreview::SetCrop(int top, int left, int bottom, int right) {
  const std::lock_guard lock(mutex_);
  crop_[0] = top;
  crop_[1] = left;
  crop_[2] = bottom;
  crop_[3] = right;
}

void WaterMarkPreview::ClearImage() {
  const std::lock_guard lock(mutex_);
  image_ = {};
}

QSize WaterMarkPreview::FrameSize() {
  const std::lock_guard lock(mutex_);
  return frameSize_;
}

void WaterMarkPreview::Draw(TBitmap24& frame) {
  const std::lock_guard lock(mutex_);
  frameSize_ = QSize(frame.Width, frame.Height);
  const EffectSettings settings = PlacedSettings(settings_, places_, frameSize_);
  ComposeFrame(frame, settings, image_.Get(settings.ImagePath));
  DrawCropOutline(frame, crop_[0], crop_[1], crop_[2], crop_[3]);
}

EffectSettings PlacedSettings(const EffectSettings& settings, const WaterMarkPlaces& places, QSize frame) {
  EffectSettings placed = settings;
  const QPoint text = WatermarkPosition(frame.width(), frame.height(), places.TextHoriz, places.TextVert);
  const QPoint image = WatermarkPosition(frame.width(), frame.height(), places.ImageHoriz, places.ImageVert);
  placed.TextLeft = text.x();
  placed.TextTop = text.y();
  placed.ImageLeft = image.x();
  placed.ImageTop = image.y();
  return placed;
}
