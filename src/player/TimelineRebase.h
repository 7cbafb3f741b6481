#pragma once

#include <cstdint>

// Keeps the packet times of a DVD title on one continuous timeline: a title
// whose cells come from several VOBs jumps back (or forward) in its time
// stamps; a jump beyond the threshold shifts all later packets so they follow
// on. Used by the read thread only. Times in microseconds.
class TimelineRebase {
 public:
  explicit TimelineRebase(std::int64_t threshold) : threshold_(threshold) {}
  // From now on packets are expected near this time (after open and after a seek).
  void Expect(std::int64_t time);
  // The packet's time on the continuous timeline (INT64_MIN stays).
  std::int64_t Apply(std::int64_t time, std::int64_t duration);
  std::int64_t Offset() const { return offset_; }

 private:
  std::int64_t threshold_;
  std::int64_t offset_ = 0;
  std::int64_t expected_ = INT64_MIN;  // the latest end seen on the timeline
};
