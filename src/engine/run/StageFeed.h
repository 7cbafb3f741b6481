#pragma once

#include <chrono>

#include "engine/run/RunStop.h"

// How long the task's thread waits for a stage before it looks at the stop
// flag again.
inline constexpr std::chrono::milliseconds kStageWait{20};

// Hands item to a stage (an empty item ends its stream), running take(wait)
// on the stage's results while waiting for room, so that both queues keep
// moving; take returns false when nothing came. Then takes what is ready,
// or at the end of the stream everything up to the stage's End, unless a
// stop is overdue.
template <typename Stage, typename Item, typename Take>
void FeedStage(Stage& stage, Item& item, Take take, RunStop& stop) {
  const bool end = !item;
  while (!stage.Send(item, std::chrono::milliseconds(0))) take(kStageWait);
  if (!end) {
    while (take(std::chrono::milliseconds(0))) {
    }
    return;
  }
  while (!stage.Ended() && !stop.Overdue()) take(kStageWait);
}
