#pragma once

#include <QLabel>
#include <QStringList>
#include <QTimer>

// Short tips on using the program, one at a time, changing every 10 seconds
// while shown; a click opens the user manual beside the program. UI thread only.
class TTipsBanner : public QLabel {
 public:
  explicit TTipsBanner(QWidget* parent = nullptr);

  static constexpr int kIntervalMs = 10000;
  int TipCount() const { return int(tips_.size()); }
  // Shows tip index, 0 .. TipCount() - 1.
  void ShowTip(int index);
  // Replaces the built-in tips (the update file's entries); an empty list keeps them.
  void SetTips(const QStringList& tips);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QTimer timer_;
  QStringList tips_;
  int current_ = 0;
};
