#pragma once

#include <array>
#include <mutex>
#include <optional>

#include "player/ManualResetEvent.h"
#include "player/PlayerTypes.h"

// The ring of ten events between the working threads and the event thread. An
// event of the same kind as the newest queued one replaces it, so a burst of
// positions (or of states) collapses to the latest; when the ring is full the
// oldest event is dropped.
class PlayerEventQueue {
 public:
  static constexpr int kSlots = 10;

  void Add(const PlayerEvent& event);
  std::optional<PlayerEvent> Take();
  // Waits until an event is queued (or the time is over).
  bool WaitForEvent(std::chrono::milliseconds timeout) { return signal_.Wait(timeout); }
  void Clear();

 private:
  std::mutex mutex_;
  std::array<PlayerEvent, kSlots> slots_{};  // guarded by mutex_
  int read_ = 0, write_ = 0;                  // guarded by mutex_; equal when empty
  ManualResetEvent signal_{false};            // set while events are queued
};
