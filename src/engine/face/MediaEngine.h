#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/face/EngineRecords.h"
#include "engine/face/EngineTaskList.h"
#include "engine/face/Previewer.h"
#include "probe/MediaProbe.h"

class Dispatcher;

enum class TThreadPriority { Idle, Normal, Lower, Lowest };

// The conversion component the rest of the program uses: a list of tasks made
// from option records, started one after another (or several at once) in
// worker threads, reporting progress, frames and task ends through events.
// All operations belong to the UI thread; events arrive as documented below.
class TCustomMediaEngine {
 public:
  // Progress and preview run on the UI thread through the dispatcher when
  // TriggerEventInMainThread is set (the worker waits); the hook runs on the
  // worker thread; task ends arrive on a notification thread in threaded mode.
  using TProgressEvent = std::function<void(TCustomMediaEngine* sender, TProgressInfo* info)>;
  using TTerminateEvent = std::function<void(TCustomMediaEngine* sender, const TTerminateInfo& info)>;
  using TCustomHookEvent = std::function<void(TCustomMediaEngine* sender, THookInfo* info)>;
  using TPreviewBitmapEvent = std::function<void(TCustomMediaEngine* sender, const TPreviewInfo& info)>;

  TCustomMediaEngine();
  virtual ~TCustomMediaEngine();
  TCustomMediaEngine(const TCustomMediaEngine&) = delete;
  TCustomMediaEngine& operator=(const TCustomMediaEngine&) = delete;

  bool LoadLibraries(const std::string& libraryDirectory);
  bool LibrariesLoaded() const;
  // Index of the new task, or -1 with LastErrorMessage set.
  int AddTask(const std::string& fileName, const TInputOptions* options = nullptr);
  // One more input of an existing task (the command line joins several).
  bool AddInput(int taskIndex, const std::string& fileName, const TInputOptions* options = nullptr);
  bool SetOutputFile(int taskIndex, const std::string& fileName, const TOutputOptions* options = nullptr);
  // parallelCount > 0: worker threads, that many at once; <= 0: every task in
  // the calling thread before returning.
  void StartTask(int parallelCount);
  void Pause();
  void Resume();
  void Stop(bool wait);
  void RemoveTask(int taskIndex);
  void ClearTasks();
  int TaskCount() const { return tasks_.Count(); }
  TMediaProbe* TaskProbe(int taskIndex, int fileIndex);

  const std::string& LastErrorMessage() const { return lastError_; }
  TMediaProbe& Probe() { return probe_; }

  // Preview without PreviewBitmap draws the frames in a window made by the
  // preview window factory; clearing Preview closes and frees that window.
  bool Preview() const { return preview_; }
  void SetPreview(bool value);
  bool PreviewBitmap() const { return previewBitmap_; }
  void SetPreviewBitmap(bool value) { previewBitmap_ = value; }
  int ProgressInterval() const { return progressInterval_; }
  void SetProgressInterval(int milliseconds) { progressInterval_ = milliseconds < 100 ? 100 : milliseconds; }
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TThreadPriority value) { threadPriority_ = value; }
  bool TriggerEventInMainThread() const { return triggerInMainThread_; }
  void SetTriggerEventInMainThread(bool value) { triggerInMainThread_ = value; }
  std::string About() const { return "Oxbel media engine"; }
  std::string Version() const { return "3.3"; }
  // The UI thread's dispatcher (not owned); without one events run where they arise.
  void SetDispatcher(Dispatcher* dispatcher) { dispatcher_ = dispatcher; }
  // Makes the preview's window on the UI thread; without one Preview shows nothing.
  // Set while not working.
  void SetPreviewWindowFactory(PreviewWindowFactory factory) { previewWindowFactory_ = std::move(factory); }

  TProgressEvent OnProgress;
  TTerminateEvent OnTerminate;
  TCustomHookEvent OnCustomHook;
  TPreviewBitmapEvent OnPreviewBitmap;

 private:
  void CheckNotWorking(const char* operation) const;
  void ApplyExtOptions(TEngineTask& task, const std::string& text, bool inputMode);
  void ApplyInputOptions(TEngineTask& task, int slot, const std::string& fileName, const TInputOptions& options);
  bool OpenTaskInput(TEngineTask& task, int slot, const std::string& fileName, const TInputOptions* options);
  void ApplyOutputFields(TEngineTask& task, const TOutputOptions& options);
  void ApplyMetadata(TEngineTask& task, const TStreamInfo& metadata);
  void AddRequestedStreams(TEngineTask& task, const std::string& text, std::map<std::string, std::string>& defaults,
                           std::vector<std::pair<std::string, std::string>>& perStream);
  void StartNextTask();
  void RunTask(TEngineTask& task);
  void TaskEnded(TEngineTask& task, bool throughNotifier);
  void DeliverTerminate(const TTerminateInfo& info, bool throughNotifier);
  void ConnectTask(TEngineTask& task);
  void DeliverProgress(TEngineTask& task, const TaskProgress& progress);
  void DeliverPreview(TEngineTask& task, const AVFrame* frame, int frameNumber, std::int64_t pts);
  void ShowInPreviewer(TEngineTask& task, std::int64_t pts);
  void FreePreviewer();
  bool RunHook(TEngineTask& task, AVFrame* frame, int frameNumber, std::int64_t pts);
  void OnUiThread(const std::function<void()>& call);
  void WaitForTask(TEngineTask& task);
  void NotifierLoop();
  void StopNotifier();

  TEngineTaskList tasks_;
  std::string lastError_;
  TMediaProbe probe_;
  int verbosity_ = 1;
  std::atomic<bool> preview_{false}, previewBitmap_{false};  // set on the UI thread, read by workers
  int progressInterval_ = 500;
  TThreadPriority threadPriority_ = TThreadPriority::Normal;
  std::atomic<bool> triggerInMainThread_{true};
  Dispatcher* dispatcher_ = nullptr;

  // Batch state --- protected by stateLock_ (workers end tasks and start the next).
  mutable std::recursive_mutex stateLock_;
  int finishedCount_ = 0;
  int nextIndex_ = -1;
  int remaining_ = 0;
  bool allTerminated_ = false;
  bool threaded_ = false;
  bool working_ = false;

  // One lock per event kind, so parallel tasks never interleave one kind of event.
  std::mutex hookLock_, previewLock_, progressLock_;
  PreviewWindowFactory previewWindowFactory_;  // UI thread, set while not working
  std::unique_ptr<TPreviewer> previewer_;       // guarded by previewLock_; freed on the UI thread
  std::recursive_mutex terminateLock_;  // a task without files ends inside another end

  // Task ends delivered in order by one notification thread --- protected by notifyLock_.
  std::mutex notifyLock_;
  std::condition_variable notifyChanged_;
  std::deque<TTerminateInfo> notifications_;
  int notificationsPending_ = 0;
  bool notifierStopping_ = false;
  std::thread notifier_;
};

class TMediaEngine : public TCustomMediaEngine {};
