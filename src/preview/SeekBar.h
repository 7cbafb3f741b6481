#pragma once

#include <QSlider>

#include <cstdint>

class QEvent;
class TCustomPlayer;

// A player's seek bar that does not follow playback: its range is its width in
// pixels, and a release of the left button over it seeks to its share of the
// duration. Shared by the preview pane and the editors. UI thread only.

// After a source opened: at 0 (without a seek), usable only for a known duration.
void ResetSeekBar(QSlider& bar, std::int64_t duration);
// Seeks the player when event is the left button's release over the bar.
void SeekOnRelease(const QEvent& event, const QSlider& bar, TCustomPlayer& player, std::int64_t duration);

// A seek bar that can show a selected part of its range (the trim marks) as a
// band along its groove. UI thread only.
class TSeekBar : public QSlider {
 public:
  explicit TSeekBar(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}

  // The band from start to end in the bar's own values; start >= end hides it.
  void SetSelection(int start, int end);
  int SelStart() const { return selStart_; }
  int SelEnd() const { return selEnd_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int selStart_ = 0, selEnd_ = 0;
};
