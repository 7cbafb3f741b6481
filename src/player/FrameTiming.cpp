#include "player/FrameTiming.h"

#include <algorithm>
#include <cmath>

void FrameTiming::Reset(double now) {
  frameTimer_ = now;
  havePts_ = false;
  skipFactor_ = 1;
  skipCounter_ = 0;
}

double FrameTiming::SyncedDelay(double delay, double masterDifference) {
  if (std::isnan(masterDifference) || std::fabs(masterDifference) >= kNoSyncThreshold) return delay;
  const double threshold = std::max(kSyncThreshold, delay);
  // A small tolerance keeps a difference of exactly the threshold (in decimal)
  // on the side the rule names, whatever the binary rounding of the clocks.
  constexpr double kEpsilon = 1e-9;
  // Behind the master clock the picture comes half a frame early: the lag
  // shrinks over a few pictures, and no two pictures fall due at once (the
  // second would be dropped).
  if (masterDifference <= -threshold + kEpsilon) return delay / 2;
  if (masterDifference >= threshold - kEpsilon) return 2 * delay;
  return delay;
}

double FrameTiming::TargetTime(double pts, double masterDifference) {
  double delay = havePts_ ? pts - lastPts_ : lastDelay_;
  if (delay <= 0 || delay >= kNoSyncThreshold)
    delay = lastDelay_;
  else
    lastDelay_ = delay;
  lastPts_ = pts;
  // The first picture after a reset is due at once; the ones after it follow
  // the nominal delays, stretched or shrunk towards the master clock.
  if (!havePts_) {
    havePts_ = true;
    return frameTimer_;
  }
  frameTimer_ += SyncedDelay(delay, masterDifference);
  return frameTimer_;
}

bool FrameTiming::TakeFrame() {
  skipCounter_ += 1;
  if (skipCounter_ < skipFactor_) return false;
  skipCounter_ -= std::max(1.0, skipFactor_);
  return true;
}

void FrameTiming::Backlogged() { skipFactor_ = std::max(0.95, skipFactor_ * 0.95); }

void FrameTiming::Late() { skipFactor_ *= 1.05; }

void TimestampChooser::Reset() {
  ptsFaults_ = dtsFaults_ = 0;
  lastPts_ = lastDts_ = INT64_MIN;
}

std::int64_t TimestampChooser::Choose(std::int64_t pts, std::int64_t dts) {
  if (dts != INT64_MIN) {
    if (lastDts_ != INT64_MIN && dts <= lastDts_) ++dtsFaults_;
    lastDts_ = dts;
  }
  if (pts != INT64_MIN) {
    if (lastPts_ != INT64_MIN && pts <= lastPts_) ++ptsFaults_;
    lastPts_ = pts;
  }
  const bool usePts = pts != INT64_MIN && (mode_ == 1 || dts == INT64_MIN || (mode_ == -1 && ptsFaults_ <= dtsFaults_));
  if (usePts) return pts;
  return dts;
}
