#include "engine/face/EngineTaskList.h"

TEngineTask::~TEngineTask() {
  RequestStop();
  if (Worker.joinable()) Worker.join();
}

void TEngineTask::SignalDone() {
  {
    std::lock_guard lock(doneLock_);
    done_ = true;
  }
  doneChanged_.notify_all();
}

bool TEngineTask::WaitDone(int milliseconds) {
  std::unique_lock lock(doneLock_);
  return doneChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return done_; });
}

void TEngineTask::ResetDone() {
  std::lock_guard lock(doneLock_);
  done_ = false;
}

int TEngineTaskList::Add(std::unique_ptr<TEngineTask> task) {
  tasks_.push_back(std::move(task));
  return int(tasks_.size()) - 1;
}

void TEngineTaskList::Delete(int index) { tasks_.erase(tasks_.begin() + index); }

void TEngineTaskList::Clear() { tasks_.clear(); }

int TEngineTaskList::IndexOf(const TEngineTask* task) const {
  for (size_t i = 0; i < tasks_.size(); ++i)
    if (tasks_[i].get() == task) return int(i);
  return -1;
}

void TEngineTaskList::SuspendAll() {
  for (auto& task : tasks_)
    if (task->Running) task->Pause();
}

void TEngineTaskList::ResumeAll() {
  for (auto& task : tasks_) task->Resume();
}
