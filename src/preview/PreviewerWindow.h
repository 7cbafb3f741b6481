#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

#include "engine/face/Previewer.h"

// The engine's preview window on Qt: a tool window above all others with only
// a close button, centred on the screen when first shown, its client area the
// size of the latest frame. Dragging the picture moves the window. UI thread only.
class TPreviewerWindow : public QWidget, public PreviewWindow {
 public:
  explicit TPreviewerWindow(std::function<void()> onClosed);

  void ShowFrame(const TBitmap24& bitmap, const std::string& caption) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CentreOnScreen();

  std::function<void()> onClosed_;
  QImage frame_;  // a copy of the last bitmap
  bool shownOnce_ = false;
  // Drag without a window manager move: where the press was, from the window's corner.
  bool dragging_ = false;
  QPoint dragOffset_;
};

// Makes TPreviewerWindow for the engine's preview.
PreviewWindowFactory QtPreviewWindowFactory();
