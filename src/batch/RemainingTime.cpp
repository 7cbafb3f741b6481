#include "batch/RemainingTime.h"

#include <algorithm>
#include <cmath>
#include <utility>

void TRemainingTime::Start(std::vector<std::int64_t> taskDurationsUs) {
  *this = TRemainingTime();
  durations_ = std::move(taskDurationsUs);
}

void TRemainingTime::Interrupt() { last_.reset(); }

void TRemainingTime::Add(int taskIndex, std::int64_t currentUs, std::int64_t totalUs, std::int64_t nowUs) {
  // A new task starts a new measurement: the gap before its first report is
  // opening time, and its position starts again from 0.
  if (taskIndex != task_) last_.reset();
  task_ = taskIndex;
  currentUs_ = currentUs;
  totalUs_ = totalUs;
  if (last_ && nowUs > last_->nowUs && currentUs >= last_->currentUs) {
    const double elapsed = double(nowUs - last_->nowUs);
    const double sampleSpeed = double(currentUs - last_->currentUs) / elapsed;
    const double weight = measuredUs_ == 0 ? 1.0 : 1.0 - std::exp(-elapsed / kSmoothingUs);
    speed_ += weight * (sampleSpeed - speed_);
    measuredUs_ += nowUs - last_->nowUs;
  }
  last_ = Sample{currentUs, nowUs};
}

std::int64_t TRemainingTime::TaskLengthUs() const {
  if (totalUs_ > 0) return totalUs_;
  if (task_ >= 0 && size_t(task_) < durations_.size()) return durations_[size_t(task_)];
  return -1;
}

std::optional<std::int64_t> TRemainingTime::MediaToWall(std::int64_t mediaUs) const {
  if (measuredUs_ < kMinimumDataUs || speed_ <= 0) return std::nullopt;
  return std::int64_t(std::llround(double(mediaUs > 0 ? mediaUs : 0) / speed_));
}

std::optional<std::int64_t> TRemainingTime::TaskRemainingUs() const {
  const std::int64_t length = TaskLengthUs();
  if (length <= 0) return std::nullopt;
  return MediaToWall(length - currentUs_);
}

std::optional<std::int64_t> TRemainingTime::BatchRemainingUs() const {
  const std::int64_t length = TaskLengthUs();
  if (length <= 0) return std::nullopt;
  std::int64_t media = std::max<std::int64_t>(length - currentUs_, 0);
  for (size_t i = size_t(task_) + 1; i < durations_.size(); ++i) {
    if (durations_[i] <= 0) return std::nullopt;
    media += durations_[i];
  }
  return MediaToWall(media);
}
