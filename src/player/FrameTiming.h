#pragma once

#include <cstdint>

// The display timing of the video pictures: each new picture's target time on
// the wall clock, corrected towards the master clock, and the frame-skip
// factor that thins decoding when the display falls behind. Used by the video
// thread under the picture queue's lock.
class FrameTiming {
 public:
  static constexpr double kSyncThreshold = 0.01;  // seconds
  static constexpr double kNoSyncThreshold = 10.0;

  // After open and after a seek: the frame timer restarts at now.
  void Reset(double now);
  // The wall-clock time at which the picture with this presentation time is due.
  // masterDifference: picture time minus master clock, NaN when video is the master.
  double TargetTime(double pts, double masterDifference);
  // A nominal delay corrected by the difference to the master clock: doubled
  // when the picture is ahead, halved when it is behind.
  static double SyncedDelay(double delay, double masterDifference);
  double LastDelay() const { return lastDelay_; }
  // Moves the frame timer on, by the time the stream was paused.
  void Shift(double seconds) { frameTimer_ += seconds; }

  // Counts a decoded frame; false when it is to be dropped before conversion.
  bool TakeFrame();
  // A picture was queued while others waited and no refresh was pending.
  void Backlogged();
  // A refresh came after the next picture's time.
  void Late();
  double SkipFactor() const { return skipFactor_; }

 private:
  double frameTimer_ = 0;
  double lastPts_ = 0;
  double lastDelay_ = 0.04;  // a 25 fps picture until two pictures tell better
  bool havePts_ = false;
  double skipFactor_ = 1, skipCounter_ = 0;
};

// The frame time from the two time stamps of a decoded frame: presentation
// stamps unless they have been out of order more often than decoding stamps.
class TimestampChooser {
 public:
  // mode: -1 automatic, 1 presentation stamps.
  explicit TimestampChooser(int mode = -1) : mode_(mode) {}
  // The libraries' no-value marker stands for a missing stamp, and is returned
  // when neither exists (the caller places such a frame after the previous one).
  std::int64_t Choose(std::int64_t pts, std::int64_t dts);
  void Reset();

 private:
  int mode_;
  int ptsFaults_ = 0, dtsFaults_ = 0;
  std::int64_t lastPts_ = INT64_MIN, lastDts_ = INT64_MIN;
};
