#pragma once

#include <chrono>

#include "engine/setup/EngineTask.h"

// After a stop request the file is finished off for at most this long; what
// the decoders and encoders still hold after that is left out.
inline constexpr std::chrono::milliseconds kStopGrace{100};

// The run's view of a stop request, one for all its parts, so that the grace
// time counts from when the run first saw the request. The task's thread only.
class RunStop {
 public:
  explicit RunStop(const TCustomEngineTask& task) : task_(task) {}

  // Whether a stop was requested; notes when the run first saw it.
  bool Requested() {
    if (!task_.StopRequested()) return false;
    if (seen_ == Clock::time_point{}) seen_ = Clock::now();
    return true;
  }
  // Whether the grace time after a stop request is over.
  bool Overdue() { return Requested() && Clock::now() - seen_ >= kStopGrace; }

 private:
  using Clock = std::chrono::steady_clock;

  const TCustomEngineTask& task_;
  Clock::time_point seen_{};  // when the run first saw the stop request
};
