#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engine/face/EngineRecords.h"

class Dispatcher;

// The window the engine's preview draws into: always on top, sized to the
// picture, movable by dragging its picture. Used on the UI thread only.
class PreviewWindow {
 public:
  virtual ~PreviewWindow() = default;
  // Shows the bitmap at 0,0 (the client area takes its size) under the caption.
  virtual void ShowFrame(const TBitmap24& bitmap, const std::string& caption) = 0;
};

// Makes the window on first use; the window calls onClosed when the user closes it.
using PreviewWindowFactory = std::function<std::unique_ptr<PreviewWindow>(std::function<void()> onClosed)>;

// The engine's preview while converting: frames from the worker threads are
// shown in a window made on the UI thread through the dispatcher. Once the user
// has closed the window, Show does nothing and returns false.
class TPreviewer {
 public:
  TPreviewer(Dispatcher* dispatcher, PreviewWindowFactory factory);
  ~TPreviewer();
  TPreviewer(const TPreviewer&) = delete;
  TPreviewer& operator=(const TPreviewer&) = delete;

  // Any thread. position: microseconds, kNoTime when unset. The task index
  // does not change what is shown: parallel tasks share the window.
  bool Show(const TBitmap24& bitmap, int taskIndex, std::int64_t position);
  bool Closed() const;

 private:
  void ShowOnUiThread();

  Dispatcher* dispatcher_;  // not owned
  PreviewWindowFactory factory_;
  mutable std::mutex mutex_;
  bool closed_ = false;          // guarded by mutex_
  std::unique_ptr<PreviewWindow> window_;  // UI thread only
  // The frame being handed over; guarded by mutex_ (one Show at a time).
  const TBitmap24* bitmap_ = nullptr;
  std::int64_t position_ = 0;
  std::mutex showLock_;  // serialises Show calls of parallel tasks
};

// "%.2d:%.2d:%.2d.%.3d" of a time in microseconds; "N/A" for an unset time.
std::string PreviewCaption(std::int64_t position);
