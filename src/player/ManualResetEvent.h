#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that stays set until it is reset, like the platform's manual-reset events.
class ManualResetEvent {
 public:
  explicit ManualResetEvent(bool initiallySet) : set_(initiallySet) {}
  void Set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
  }
  bool IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
  }
  // True when the event was set within the time.
  bool Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return set_; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_;  // guarded by mutex_
};
