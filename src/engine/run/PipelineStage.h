#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <pthread.h>
#include <thread>

#include "engine/run/BoundedQueue.h"
#include "engine/setup/EngineTask.h"

// One stage of a task's pipeline: a thread that takes items from a bounded
// input queue and puts its results into a bounded output queue, in order.
// An empty item (nullptr) is the end of the stream: the stage flushes and
// passes End on. The stage parks while its task is paused; every wait is cut
// into slices so that it sees its quit flag. Send and Receive belong to the
// task's thread. Out has a `kind` whose Kind::End marks the end.
//
// A derived stage calls Start() at the end of its constructor and Join() at
// the start of its destructor, so the thread only runs while it is whole.
template <typename In, typename Out>
class PipelineStage {
 public:
  PipelineStage(const PipelineStage&) = delete;
  PipelineStage& operator=(const PipelineStage&) = delete;

  // Queues item when there is room within timeout; on false the caller keeps it.
  bool Send(In& item, std::chrono::milliseconds timeout) { return inputs_.Push(item, timeout); }
  // The next result, waiting up to timeout for one.
  std::optional<Out> Receive(std::chrono::milliseconds timeout) {
    auto result = outputs_.Pop(timeout);
    if (result && result->kind == Out::Kind::End) ended_ = true;
    return result;
  }
  // Whether End has been received.
  bool Ended() const { return ended_; }

 protected:
  static constexpr std::chrono::milliseconds kSlice{20};

  PipelineStage(TCustomEngineTask& task, std::size_t inputCapacity, std::size_t outputCapacity)
      : task_(task), inputs_(inputCapacity), outputs_(outputCapacity) {}
  virtual ~PipelineStage() = default;

  void Start(const char* threadName) {
    thread_ = std::thread([this, threadName] {
      pthread_setname_np(pthread_self(), threadName);
      Run();
    });
  }
  void Join() {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
  }

  // Works on one item of the stream.
  virtual void Process(In& item) = 0;
  // The end of the stream: hands out what is still held; End follows.
  virtual void Flush() = 0;

  // Waits for room for output; false when the stage is told to quit.
  bool Emit(Out output) {
    while (!quit_)
      if (outputs_.Push(output, kSlice)) return true;
    return false;
  }

  TCustomEngineTask& task_;

 private:
  void Run() {
    while (!quit_) {
      if (task_.WaitWhilePausedFor(kSlice)) continue;
      auto item = inputs_.Pop(kSlice);
      if (!item) continue;
      if (*item) {
        Process(*item);
        continue;
      }
      Flush();
      Emit(Out{});
      return;
    }
  }

  BoundedQueue<In> inputs_;
  BoundedQueue<Out> outputs_;
  std::atomic<bool> quit_{false};
  bool ended_ = false;  // the task's thread only
  std::thread thread_;
};
