#include "player/PlayerEventQueue.h"

namespace {
int Next(int index) { return index == PlayerEventQueue::kSlots - 1 ? 0 : index + 1; }
int Previous(int index) { return index == 0 ? PlayerEventQueue::kSlots - 1 : index - 1; }
}  // namespace

void PlayerEventQueue::Add(const PlayerEvent& event) {
  std::lock_guard lock(mutex_);
  const bool empty = read_ == write_;
  if (empty || slots_[Previous(write_)].Kind != event.Kind) {
    write_ = Next(write_);
    if (write_ == read_) read_ = Next(read_);
  }
  slots_[Previous(write_)] = event;
  signal_.Set();
}

std::optional<PlayerEvent> PlayerEventQueue::Take() {
  std::lock_guard lock(mutex_);
  if (read_ == write_) return std::nullopt;
  const PlayerEvent event = slots_[read_];
  read_ = Next(read_);
  if (read_ == write_) signal_.Reset();
  return event;
}

void PlayerEventQueue::Clear() {
  std::lock_guard lock(mutex_);
  read_ = write_ = 0;
  signal_.Reset();
}
