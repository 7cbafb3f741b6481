#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "player/VideoSink.h"

// A drawing area of a fixed size that no window shows: it keeps the latest
// picture, as a window would, and counts the pictures presented.
class OffscreenSink : public VideoSink {
 public:
  OffscreenSink(int width, int height) : width_(width), height_(height) {}

  void ClientSize(int& width, int& height) const override {
    width = width_;
    height = height_;
  }
  void Present(std::shared_ptr<const SinkPicture> picture, const SinkPlacement&) override {
    std::lock_guard lock(mutex_);
    picture_ = std::move(picture);
    ++presented_;
  }
  void Clear() override {
    std::lock_guard lock(mutex_);
    picture_.reset();
  }
  void SetResizeListener(std::function<void(int, int)>) override {}
  std::uintptr_t Handle() const override { return 0; }
  std::string DriverName() const override { return "offscreen"; }

  int Presented() const { return presented_; }

 private:
  const int width_, height_;
  std::mutex mutex_;
  std::shared_ptr<const SinkPicture> picture_;  // guarded by mutex_
  std::atomic<int> presented_{0};
};
