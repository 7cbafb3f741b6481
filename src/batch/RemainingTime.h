#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Estimates the time a batch still needs from its progress reports: the
// conversion speed (media time converted per second of wall time) is smoothed
// over the last seconds, and the media time still to convert is divided by it.
// Times are microseconds; wall times come from the caller so the arithmetic can
// be replayed. Plain data, no threads of its own; used on the UI thread.
class TRemainingTime {
 public:
  // A new batch whose tasks will convert these media durations, in task order
  // (0 or less: unknown). Forgets everything measured before.
  void Start(std::vector<std::int64_t> taskDurationsUs);
  // One progress report of task taskIndex at wall time nowUs. totalUs of 0 or
  // less means the task's length is unknown; it then falls back to the
  // duration given to Start.
  void Add(int taskIndex, std::int64_t currentUs, std::int64_t totalUs, std::int64_t nowUs);
  // The wall time between the last report and the next one is not conversion
  // time (a pause, for example): the next report starts a new measurement.
  void Interrupt();

  // Nothing until kMinimumDataUs of conversion have been measured, or when the
  // current task's length is unknown.
  std::optional<std::int64_t> TaskRemainingUs() const;
  // The current task's estimate plus the durations of the tasks after it;
  // nothing while any of those durations is unknown.
  std::optional<std::int64_t> BatchRemainingUs() const;

  static constexpr std::int64_t kMinimumDataUs = 3'000'000;
  // Time constant of the speed's exponential smoothing.
  static constexpr double kSmoothingUs = 5'000'000;

 private:
  struct Sample {
    std::int64_t currentUs;
    std::int64_t nowUs;
  };

  std::int64_t TaskLengthUs() const;
  std::optional<std::int64_t> MediaToWall(std::int64_t mediaUs) const;

  std::vector<std::int64_t> durations_;
  int task_ = -1;
  std::int64_t currentUs_ = 0, totalUs_ = -1;
  std::optional<Sample> last_;
  double speed_ = 0;  // media microseconds per wall microsecond
  std::int64_t measuredUs_ = 0;
};
