#include "media/Dispatcher.h"

void PumpOnUiThread(Dispatcher* dispatcher) {
  if (dispatcher && dispatcher->onUiThread()) dispatcher->pump();
}

void WaitPumping(Dispatcher* dispatcher, const std::function<bool()>& done, std::chrono::milliseconds slice) {
  while (!done()) {
    PumpOnUiThread(dispatcher);
    std::this_thread::sleep_for(slice);
  }
}

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
