#include "player/TimelineRebase.h"

#include <algorithm>

void TimelineRebase::Expect(std::int64_t time) {
  expected_ = time;
  offset_ = 0;
}

std::int64_t TimelineRebase::Apply(std::int64_t time, std::int64_t duration) {
  if (time == INT64_MIN) return time;
  std::int64_t shifted = time + offset_;
  if (expected_ != INT64_MIN && (shifted > expected_ + threshold_ || shifted < expected_ - threshold_)) {
    offset_ += expected_ - shifted;
    shifted = expected_;
  }
  expected_ = expected_ == INT64_MIN ? shifted + std::max<std::int64_t>(duration, 0)
                                     : std::max(expected_, shifted + std::max<std::int64_t>(duration, 0));
  return shifted;
}
