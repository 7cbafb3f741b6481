#pragma once

#include <atomic>
#include <mutex>

#include "player/VideoSink.h"

// A sink without a window: keeps the latest picture and counts them.
class RecordingSink : public VideoSink {
 public:
  RecordingSink(int width = 320, int height = 240) : width_(width), height_(height) {}
  void ClientSize(int& width, int& height) const override {
    width = width_;
    height = height_;
  }
  void Present(std::shared_ptr<const SinkPicture> picture, const SinkPlacement& placement) override {
    std::lock_guard lock(mutex_);
    picture_ = std::move(picture);
    placement_ = placement;
    ++presented_;
  }
  void Clear() override {
    std::lock_guard lock(mutex_);
    picture_.reset();
  }
  void SetResizeListener(std::function<void(int, int)> listener) override {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
  }
  std::uintptr_t Handle() const override { return 7; }
  std::string DriverName() const override { return "recording"; }

  int Presented() const { return presented_; }
  std::shared_ptr<const SinkPicture> Picture() {
    std::lock_guard lock(mutex_);
    return picture_;
  }
  SinkPlacement Placement() {
    std::lock_guard lock(mutex_);
    return placement_;
  }
  // What a window does when the user resizes it.
  void Resize(int width, int height) {
    std::function<void(int, int)> listener;
    {
      std::lock_guard lock(mutex_);
      width_ = width;
      height_ = height;
      listener = listener_;
    }
    if (listener) listener(width, height);
  }

 private:
  std::atomic<int> width_, height_;
  std::mutex mutex_;
  std::shared_ptr<const SinkPicture> picture_;  // guarded by mutex_
  SinkPlacement placement_;                     // guarded by mutex_
  std::function<void(int, int)> listener_;      // guarded by mutex_
  std::atomic<int> presented_{0};
};
