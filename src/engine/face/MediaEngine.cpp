#include "engine/face/MediaEngine.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

#include "media/Dispatcher.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

int niceValue(TThreadPriority priority) {
  switch (priority) {
    case TThreadPriority::Idle: return 19;
    case TThreadPriority::Lower: return 5;
    case TThreadPriority::Lowest: return 10;
    case TThreadPriority::Normal: break;
  }
  return 0;
}

std::int64_t nowMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TCustomMediaEngine::TCustomMediaEngine() = default;

TCustomMediaEngine::~TCustomMediaEngine() {
  {
    std::lock_guard lock(stateLock_);
    remaining_ = 0;
  }
  for (int i = 0; i < tasks_.Count(); ++i) tasks_.Item(i).RequestStop();
  tasks_.Clear();  // joins the workers
  StopNotifier();
}

bool TCustomMediaEngine::LoadLibraries(const std::string& libraryDirectory) {
  auto& loader = TMediaLoader::instance();
  loader.setLibraryDirectory(libraryDirectory);
  if (loader.loadSet(kEngineLibraries)) return true;
  lastError_ = loader.lastError();
  return false;
}

bool TCustomMediaEngine::LibrariesLoaded() const { return TMediaLoader::instance().isSetLoaded(kEngineLibraries); }

void TCustomMediaEngine::CheckNotWorking(const char* operation) const {
  std::lock_guard lock(stateLock_);
  if (working_) throw EngineException(StringPrintf("Cannot %s while working.", operation));
}

TMediaProbe* TCustomMediaEngine::TaskProbe(int taskIndex, int fileIndex) {
  return tasks_.Item(taskIndex).Probes.at(size_t(fileIndex)).get();
}

// --- Starting and ending tasks ---------------------------------------------

void TCustomMediaEngine::StartTask(int parallelCount) {
  CheckNotWorking("StartTask");
  {
    // A preview window the user closed stays closed for one conversion only.
    std::lock_guard lock(previewLock_);
    if (previewer_ && previewer_->Closed()) previewer_.reset();
  }
  {
    std::lock_guard lock(stateLock_);
    finishedCount_ = 0;
    nextIndex_ = 0;
    remaining_ = tasks_.Count();
    allTerminated_ = false;
    threaded_ = parallelCount > 0;
    working_ = true;
    allTerminated_ = tasks_.Count() == 0;
  }
  // A batch without tasks has ended at once; it must still say so.
  if (tasks_.Count() == 0) {
    std::lock_guard terminate(terminateLock_);
    DeliverTerminate({-1, true, false, {}}, parallelCount > 0);
    return;
  }
  for (int started = 0;; ++started) {
    {
      std::lock_guard lock(stateLock_);
      if (remaining_ <= 0 || (threaded_ && started >= parallelCount)) return;
    }
    StartNextTask();
  }
}

void TCustomMediaEngine::StartNextTask() {
  TEngineTask* task;
  bool threaded;
  {
    std::lock_guard lock(stateLock_);
    if (remaining_ <= 0) return;
    --remaining_;
    task = &tasks_.Item(nextIndex_++);
    threaded = threaded_;
    task->SetProgressInterval(std::int64_t(progressInterval_) * 1000);
    task->Started = true;
    task->ResetDone();
  }
  // A task without files cannot run: its end is reported at once.
  if (task->OutputCount() == 0 || task->InputCount() == 0) {
    task->Run();
    task->SignalDone();
    TaskEnded(*task, threaded);
    return;
  }
  if (!threaded) {
    RunTask(*task);
    task->SignalDone();
    return;
  }
  if (task->Worker.joinable()) task->Worker.join();
  const int nice = niceValue(threadPriority_);
  task->Worker = std::thread([this, task, nice] {
    setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), nice);
    RunTask(*task);
    task->SignalDone();
  });
}

void TCustomMediaEngine::RunTask(TEngineTask& task) {
  task.Running = true;
  task.Run();
  task.Running = false;
  TaskEnded(task, threaded_);
}

void TCustomMediaEngine::TaskEnded(TEngineTask& task, bool throughNotifier) {
  std::lock_guard terminate(terminateLock_);
  if (task.EndReported.exchange(true)) return;
  task.Running = false;
  DeliverTerminate({tasks_.IndexOf(&task), task.Finished(), task.Exception(), task.ErrorText()}, throughNotifier);
  std::lock_guard state(stateLock_);
  ++finishedCount_;
  if (remaining_ >= 1) {
    if (threaded_) StartNextTask();
    return;
  }
  if (finishedCount_ >= tasks_.Count() && !allTerminated_) {
    allTerminated_ = true;
    DeliverTerminate({-1, true, false, {}}, throughNotifier);
  }
}

void TCustomMediaEngine::DeliverTerminate(const TTerminateInfo& info, bool throughNotifier) {
  if (!OnTerminate) return;
  if (!throughNotifier) {
    OnTerminate(this, info);
    return;
  }
  std::lock_guard lock(notifyLock_);
  if (!notifier_.joinable()) notifier_ = std::thread([this] { NotifierLoop(); });
  notifications_.push_back(info);
  ++notificationsPending_;
  notifyChanged_.notify_all();
}

// Task ends go out in the order they happened, off the worker threads.
void TCustomMediaEngine::NotifierLoop() {
  std::unique_lock lock(notifyLock_);
  while (true) {
    notifyChanged_.wait(lock, [this] { return notifierStopping_ || !notifications_.empty(); });
    if (notifications_.empty()) return;
    const TTerminateInfo info = notifications_.front();
    notifications_.pop_front();
    lock.unlock();
    if (OnTerminate) OnTerminate(this, info);
    lock.lock();
    --notificationsPending_;
    notifyChanged_.notify_all();
  }
}

void TCustomMediaEngine::StopNotifier() {
  {
    std::lock_guard lock(notifyLock_);
    notifierStopping_ = true;
  }
  notifyChanged_.notify_all();
  if (notifier_.joinable()) notifier_.join();
  notifierStopping_ = false;
}

// --- Pause, stop, removal ---------------------------------------------------

void TCustomMediaEngine::Pause() { tasks_.SuspendAll(); }

void TCustomMediaEngine::Resume() { tasks_.ResumeAll(); }

// Waits in short slices; on the UI thread it keeps running the calls the
// worker waits for, so a pending progress event cannot deadlock the stop.
void TCustomMediaEngine::WaitForTask(TEngineTask& task) {
  while (!task.WaitDone(20)) PumpOnUiThread(dispatcher_);
}

void TCustomMediaEngine::Stop(bool wait) {
  {
    std::lock_guard lock(stateLock_);
    remaining_ = 0;
  }
  for (int i = 0; i < tasks_.Count(); ++i) {
    auto& task = tasks_.Item(i);
    if (!task.Started) continue;
    task.RequestStop();
    if (wait) WaitForTask(task);
  }
  for (int i = 0; i < tasks_.Count(); ++i) {
    auto& task = tasks_.Item(i);
    if (!task.Started && !task.EndReported) TaskEnded(task, true);
  }
  if (!wait) return;
  WaitPumping(
      dispatcher_,
      [this] {
        std::lock_guard lock(notifyLock_);
        return notificationsPending_ == 0;
      },
      std::chrono::milliseconds(20));
}

void TCustomMediaEngine::RemoveTask(int taskIndex) {
  CheckNotWorking("RemoveTask");
  tasks_.Delete(taskIndex);
}

void TCustomMediaEngine::ClearTasks() {
  {
    std::lock_guard lock(stateLock_);
    if (working_ && !allTerminated_) throw EngineException("Cannot ClearTasks while working.");
  }
  // Without the state lock: a worker may still be leaving and needs it.
  tasks_.Clear();
  std::lock_guard lock(stateLock_);
  lastError_.clear();
  finishedCount_ = 0;
  nextIndex_ = -1;
  remaining_ = 0;
  allTerminated_ = threaded_ = working_ = false;
}

// --- Events from the tasks ----------------------------------------------------

void TCustomMediaEngine::OnUiThread(const std::function<void()>& call) {
  if (triggerInMainThread_ && dispatcher_ && !dispatcher_->onUiThread()) {
    dispatcher_->call(call);
  } else {
    call();
  }
}

void TCustomMediaEngine::ConnectTask(TEngineTask& task) {
  task.SetProgressHandler([this, &task](const TaskProgress& progress) { DeliverProgress(task, progress); });
  if (previewBitmap_ || preview_)
    task.SetPreviewHandler([this, &task](const AVFrame* frame, int number, std::int64_t pts) {
      DeliverPreview(task, frame, number, pts);
    });
}

void TCustomMediaEngine::DeliverProgress(TEngineTask& task, const TaskProgress& progress) {
  if (!OnProgress) {
    TMediaLogger::instance().Log(&task, llVerbose, progress.text);
    return;
  }
  std::lock_guard lock(progressLock_);
  TProgressInfo info;
  info.TaskIndex = tasks_.IndexOf(&task);
  info.FileIndex = progress.fileIndex;
  info.FrameNumber = progress.frameNumber;
  info.FramesPerSecond = progress.framesPerSecond;
  info.Quality = progress.quality;
  info.BitRate = progress.bitRate;
  info.CurrentSize = progress.currentSize;
  info.CurrentDuration = progress.currentDuration;
  info.TotalDuration = progress.totalDuration;
  OnUiThread([&] { OnProgress(this, &info); });
}

// Bitmap preview goes to OnPreviewBitmap; Preview alone draws in the previewer.
void TCustomMediaEngine::DeliverPreview(TEngineTask& task, const AVFrame* frame, int frameNumber, std::int64_t pts) {
  const bool toEvent = previewBitmap_ && OnPreviewBitmap;
  const bool toWindow = !previewBitmap_ && preview_ && previewWindowFactory_;
  if (!(toEvent || toWindow) || task.PreviewFailed) return;
  const std::int64_t now = nowMicroseconds();
  if (task.LastPreviewMicroseconds != INT64_MIN && now - task.LastPreviewMicroseconds < 100000) return;
  task.LastPreviewMicroseconds = now;
  std::lock_guard lock(previewLock_);
  if (!task.BitmapConverter.ToBitmap(frame, task.Bitmap)) {
    TMediaLogger::instance().Log(&task, llError, "Cannot initialize the toRGB conversion context");
    task.PreviewFailed = true;
    return;
  }
  if (!toEvent) return ShowInPreviewer(task, pts);
  const TPreviewInfo info{tasks_.IndexOf(&task), &task.Bitmap, frameNumber, pts};
  OnUiThread([&] { OnPreviewBitmap(this, info); });
}

// Under previewLock_. Preview is checked again here: SetPreview(false) frees
// the previewer once it holds the lock.
void TCustomMediaEngine::ShowInPreviewer(TEngineTask& task, std::int64_t pts) {
  if (!preview_) return;
  if (!previewer_) previewer_ = std::make_unique<TPreviewer>(dispatcher_, previewWindowFactory_);
  previewer_->Show(task.Bitmap, tasks_.IndexOf(&task), pts);
}

void TCustomMediaEngine::SetPreview(bool value) {
  preview_ = value;
  if (!value) FreePreviewer();
}

// UI thread. A worker may hold the preview lock while it waits for the UI
// thread to draw its frame, so the waiting keeps running those calls.
void TCustomMediaEngine::FreePreviewer() {
  std::unique_lock lock(previewLock_, std::defer_lock);
  WaitPumping(dispatcher_, [&lock] { return lock.try_lock(); }, std::chrono::milliseconds(1));
  previewer_.reset();
}

// Runs on the worker thread. Returns false to stop hooking for the rest of the task.
bool TCustomMediaEngine::RunHook(TEngineTask& task, AVFrame* frame, int frameNumber, std::int64_t pts) {
  if (!OnCustomHook) return false;
  auto& logger = TMediaLogger::instance();
  std::lock_guard lock(hookLock_);
  if (!task.BitmapConverter.ToBitmap(frame, task.Bitmap)) {
    logger.Log(&task, llError, "Cannot initialize the toRGB conversion context");
    return false;
  }
  task.BitmapBefore.assign(task.Bitmap.Bits.begin(), task.Bitmap.Bits.end());
  THookInfo info;
  info.TaskIndex = tasks_.IndexOf(&task);
  info.Bitmap = &task.Bitmap;
  info.FrameNumber = frameNumber;
  info.PTS = pts;
  try {
    OnCustomHook(this, &info);
  } catch (const std::exception& e) {
    logger.Log(&task, llError, std::string("Error occurs OnCustomHook: ") + e.what());
    return true;
  } catch (...) {
    logger.Log(&task, llError, "Error occurs OnCustomHook: unknown error");
    return true;
  }
  if (info.Update && !task.BitmapConverter.FromChangedRows(task.Bitmap, task.BitmapBefore, frame)) {
    logger.Log(&task, llError, "Cannot initialize the fromRGB conversion context");
    return false;
  }
  return !info.StopHook;
}
