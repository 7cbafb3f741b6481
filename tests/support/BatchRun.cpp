#include "support/BatchRun.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

#include "engine/face/MediaEngine.h"
#include "frontend/ConversionBatch.h"
#include "media/Dispatcher.h"

bool RunBatchOnThisThread(TCustomMediaEngine& engine, QueueDispatcher& dispatcher, ConversionBatch& batch) {
  std::mutex lock;
  std::deque<TTerminateInfo> ends;  // guarded by lock: filled on the engine's thread
  bool allEnded = false;
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    const std::lock_guard guard(lock);
    ends.push_back(info);
  };
  engine.StartTask(1);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!allEnded && std::chrono::steady_clock::now() < deadline) {
    dispatcher.pump();
    std::deque<TTerminateInfo> arrived;
    {
      const std::lock_guard guard(lock);
      arrived.swap(ends);
    }
    for (const TTerminateInfo& info : arrived) {
      if (info.TaskIndex < 0) allEnded = true;
      else batch.HandleTaskEnd(info);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  engine.OnTerminate = nullptr;
  return allEnded;
}
