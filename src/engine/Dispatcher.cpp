#include "engine/Dispatcher.h"

void QueueDispatcher::call(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  Pending pending{&fn, nullptr, false};
  std::unique_lock lock(mutex_);
  queue_.push_back(&pending);
  doneChanged_.wait(lock, [&] { return pending.done; });
  if (pending.error) std::rethrow_exception(pending.error);
}

void QueueDispatcher::pump() {
  std::unique_lock lock(mutex_);
  while (!queue_.empty()) {
    Pending* pending = queue_.front();
    queue_.pop_front();
    lock.unlock();
    try {
      (*pending->fn)();
    } catch (...) {
      pending->error = std::current_exception();
    }
    lock.lock();
    pending->done = true;
    doneChanged_.notify_all();
  }
}
