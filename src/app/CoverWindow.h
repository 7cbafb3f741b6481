#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The borderless cover shown while the program starts. It closes itself at the
// first one-second tick at which the main window is showing.
class TfrmCover : public QWidget {
 public:
  // Loads coverPath when that file exists, otherwise keeps the built-in picture.
  explicit TfrmCover(const QString& coverPath);

  void watchMainWindow(const QWidget* mainWindow) { mainWindow_ = mainWindow; }
  const QPixmap& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void timerTick();

  QPixmap picture_;
  QTimer timer_;
  const QWidget* mainWindow_ = nullptr;
};

// The built-in cover picture, drawn by the program.
QPixmap BuiltInCoverPicture();
