#pragma once

#include <cstdint>

#include "media/MediaApi.h"

// Draws the current picture subtitle (DVD subpictures) onto the video frames
// shown during its display time. Used on the run's thread only.
class SubtitleBurnIn {
 public:
  SubtitleBurnIn() = default;
  ~SubtitleBurnIn();
  SubtitleBurnIn(const SubtitleBurnIn&) = delete;
  SubtitleBurnIn& operator=(const SubtitleBurnIn&) = delete;

  // Takes over a decoded subtitle shown from startUs; it replaces the previous one.
  void Show(AVSubtitle& subtitle, std::int64_t startUs);
  // Blends the subtitle into a 4:2:0 frame at time ptsUs when it is showing then.
  void Draw(AVFrame* frame, std::int64_t ptsUs);

 private:
  void Clear();
  AVSubtitle subtitle_{};
  bool showing_ = false;
  std::int64_t start_ = 0, end_ = 0;  // microseconds
};
