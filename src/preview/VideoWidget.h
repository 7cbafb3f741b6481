#pragma once

#include <QWidget>

#include <atomic>
#include <mutex>

#include "player/VideoSink.h"

// The player's drawing area: keeps the latest picture a player thread
// presented and paints it at its placement on black. Painting only draws the
// kept picture, so the window repaints on expose while the player is paused.
class TVideoWidget : public QWidget, public VideoSink {
 public:
  explicit TVideoWidget(QWidget* parent = nullptr);

  void ClientSize(int& width, int& height) const override;
  void Present(std::shared_ptr<const SinkPicture> picture, const SinkPlacement& placement) override;
  void Clear() override;
  void SetResizeListener(std::function<void(int width, int height)> listener) override;
  std::uintptr_t Handle() const override;
  std::string DriverName() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Any thread: one queued repaint at a time, however fast pictures arrive.
  void ScheduleRepaint();

  mutable std::mutex mutex_;
  std::shared_ptr<const SinkPicture> picture_;  // guarded by mutex_
  SinkPlacement placement_;                     // guarded by mutex_
  QSize clientSize_;                            // guarded by mutex_; written in resizeEvent
  std::atomic<bool> repaintQueued_{false};
  std::function<void(int, int)> resizeListener_;  // UI thread only
};
