#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/face/EngineRecords.h"
#include "engine/setup/EngineTask.h"
#include "media/FrameBitmap.h"
#include "probe/MediaProbe.h"

// A task of the engine component: the core task plus a probe and a copy of the
// option records for each of its files, and the state of its worker thread.
class TEngineTask : public TCustomEngineTask {
 public:
  ~TEngineTask() override;

  std::array<std::unique_ptr<TMediaProbe>, kMaxFiles> Probes;
  std::array<TInputOptions, kMaxFiles> InputOptions;
  std::array<TOutputOptions, kMaxFiles> OutputOptions;

  // Worker and end state, written by the component under its state lock.
  std::thread Worker;
  std::atomic<bool> Running{false};
  std::atomic<bool> Started{false};
  std::atomic<bool> EndReported{false};
  // Set when the worker has left the run (also after an error).
  void SignalDone();
  bool WaitDone(int milliseconds);
  void ResetDone();

  // Used on the worker thread only.
  FrameBitmapConverter BitmapConverter;
  TBitmap24 Bitmap;
  std::vector<std::uint8_t> BitmapBefore;  // the bitmap as handed to the hook
  std::int64_t LastPreviewMicroseconds = INT64_MIN;
  bool PreviewFailed = false;

 private:
  std::mutex doneLock_;
  std::condition_variable doneChanged_;
  bool done_ = false;  // guarded by doneLock_
};

// The component's owning list of tasks, in insertion order.
class TEngineTaskList {
 public:
  int Add(std::unique_ptr<TEngineTask> task);
  void Delete(int index);
  void Clear();
  TEngineTask& Item(int index) const { return *tasks_.at(size_t(index)); }
  int IndexOf(const TEngineTask* task) const;
  int Count() const { return int(tasks_.size()); }
  void SuspendAll();
  void ResumeAll();

 private:
  std::vector<std::unique_ptr<TEngineTask>> tasks_;
};
