#pragma once

#include <chrono>
#include <cmath>
#include <mutex>

// Seconds of a steady wall clock, the time base of every player clock.
inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A media clock: a time stamp taken at a wall-clock moment, running on with
// the wall clock unless paused. Any thread; it has its own lock.
class PlayerClock {
 public:
  void Set(double pts, double now) {
    std::lock_guard lock(mutex_);
    pts_ = pts;
    drift_ = pts - now;
    valid_ = true;
  }
  // NaN until set.
  double Get(double now) const {
    std::lock_guard lock(mutex_);
    if (!valid_) return NAN;
    return paused_ ? pts_ : drift_ + now;
  }
  // Pausing freezes the clock at its time; resuming runs it on from there.
  void SetPaused(bool paused, double now) {
    std::lock_guard lock(mutex_);
    if (paused == paused_) return;
    if (paused) {
      pts_ = drift_ + now;
    } else {
      drift_ = pts_ - now;
    }
    paused_ = paused;
  }
  void Invalidate() {
    std::lock_guard lock(mutex_);
    valid_ = false;
  }

 private:
  mutable std::mutex mutex_;
  double pts_ = 0, drift_ = 0;  // guarded by mutex_
  bool valid_ = false, paused_ = false;
};
