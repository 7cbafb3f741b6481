#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// Runs calls on the user-interface thread on behalf of worker threads. The
// application injects one; code that waits on the UI thread for a worker calls
// pump() between short waits so a worker blocked in call() can finish.
class Dispatcher {
 public:
  virtual ~Dispatcher() = default;
  virtual bool onUiThread() const = 0;
  // Runs fn on the UI thread and returns when it has run; on the UI thread
  // itself it runs fn at once. An exception of fn reaches the caller.
  virtual void call(const std::function<void()>& fn) = 0;
  // Runs the calls waiting for the UI thread (UI thread only).
  virtual void pump() = 0;
};

// Runs the calls waiting for the UI thread when called on it (nothing for a
// null dispatcher or another thread).
void PumpOnUiThread(Dispatcher* dispatcher);
// Waits until done() holds, checking it every slice; on the UI thread the
// calls waiting for it run meanwhile, so a worker blocked in call() cannot
// deadlock the wait.
void WaitPumping(Dispatcher* dispatcher, const std::function<bool()>& done, std::chrono::milliseconds slice);

// A dispatcher for programs without a GUI event loop: the thread that created
// it is the UI thread and runs waiting calls whenever it pumps.
class QueueDispatcher : public Dispatcher {
 public:
  bool onUiThread() const override { return std::this_thread::get_id() == uiThread_; }
  void call(const std::function<void()>& fn) override;
  void pump() override;

 private:
  struct Pending {
    const std::function<void()>* fn;
    std::exception_ptr error;
    bool done = false;
  };
  const std::thread::id uiThread_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::condition_variable doneChanged_;
  std::deque<Pending*> queue_;  // guarded by mutex_
};
