#pragma once

#include <QSize>

#include <mutex>

#include "editing/EffectSettings.h"
#include "editing/FrameComposition.h"

// Where the watermarks go, in percent of the frame, as the dialog's sliders say.
struct WaterMarkPlaces {
  int TextHoriz = 0, TextVert = 0, ImageHoriz = 0, ImageVert = 0;
};

// What the effects dialog's player hook draws: the dialog's current settings,
// copied in by the UI thread whenever a control changes, drawn by the video
// thread into each frame with the job's crop outline. One lock guards the
// settings, the watermark picture and the positions of the last frame, so
// that the picture is never freed while a frame still uses it.
class WaterMarkPreview {
 public:
  // UI thread.
  void SetSettings(const EffectSettings& settings, const WaterMarkPlaces& places);
  void SetCrop(int top, int left, int bottom, int right);
  // Frees the watermark picture (waits for a frame being drawn).
  void ClearImage();
  // The size of the last frame drawn; empty before any.
  QSize FrameSize();

  // Video thread: the settings as of now, drawn into the frame. Throws when
  // the watermark picture cannot be read (the player then shows the frame as decoded).
  void Draw(TBitmap24& frame);

 private:
  std::mutex mutex_;
  EffectSettings settings_;  // guarded by mutex_, as are all fields below
  WaterMarkPlaces places_;
  int crop_[4] = {0, 0, 0, 0};  // top, left, bottom, right
  WatermarkImageCache image_;
  QSize frameSize_;
};

// The settings with the watermarks' pixel positions on a frame of that size.
EffectSettings PlacedSettings(const EffectSettings& settings, const WaterMarkPlaces& places, QSize frame);
