#pragma once

#include <QLabel>
#include <QTimer>

// Short tips on using the program, one at a time, changing every 10 seconds
// while shown; a click opens the user manual beside the program. UI thread only.
class TTipsBanner : public QLabel {
 public:
  explicit TTipsBanner(QWidget* parent = nullptr);

  static constexpr int kIntervalMs = 10000;
  static int TipCount();
  // Shows tip index, 0 .. TipCount() - 1.
  void ShowTip(int index);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QTimer timer_;
  int current_ = 0;
};
