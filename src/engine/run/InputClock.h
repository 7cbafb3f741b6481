#pragma once

#include <chrono>
#include <cstdint>

#include "engine/run/InputState.h"
#include "engine/run/RunContext.h"

// The input side's time: packet timestamps moved by the file's offset and
// scale and across clock jumps, the limits of an input, the times of decoded
// frames, and reading at the source's own pace. The task's thread only.
class InputClock {
 public:
  explicit InputClock(RunContext& run);

  void AdjustTimestamps(InputStreamState& input, AVPacket* packet);
  // Whether a packet lies at or past the recording end or the end of its input.
  bool PastEnd(const InputStreamState& input, std::int64_t packetTime, std::int64_t recordingEnd) const;
  // An input with limits (a DVD chapter range, whose stream holds sound of the
  // chapters around it) uses only what lies within them: a frame that ends
  // before the beginning or starts at the end is left out, sound is cut at the
  // end. False when nothing of the frame is left.
  bool KeepWithinInput(const InputStreamState& input, AVFrame* decoded) const;
  // A decoded frame's time in microseconds.
  std::int64_t DecodedTime(const InputStreamState& input, const AVFrame& decoded) const;
  // Waits until the packet's time has passed since the run started.
  void WaitForRealTime(const InputStreamState& input, std::int64_t packetTime,
                       std::chrono::steady_clock::time_point started) const;

 private:
  void FollowClockJump(InputStreamState& input, AVPacket* packet);

  RunContext& run_;
};
