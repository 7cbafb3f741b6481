#include "preview/SeekBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

#include "player/MediaPlayer.h"

void ResetSeekBar(QSlider& bar, std::int64_t duration) {
  const QSignalBlocker quiet(bar);
  bar.setRange(0, std::max(1, bar.width()));
  bar.setValue(0);
  bar.setEnabled(duration > 0);
}

void SeekOnRelease(const QEvent& event, const QSlider& bar, TCustomPlayer& player, std::int64_t duration) {
  if (event.type() != QEvent::MouseButtonRelease || static_cast<const QMouseEvent&>(event).button() != Qt::LeftButton)
    return;
  if (duration <= 0 || bar.maximum() <= 0) return;
  const double share = double(bar.value()) / bar.maximum();
  player.Seek(0, false, std::int64_t(share * double(duration)));
}

void TSeekBar::SetSelection(int start, int end) {
  if (start == selStart_ && end == selEnd_) return;
  selStart_ = start;
  selEnd_ = end;
  update();
}

// The slider as the style draws it, with the selected part marked by a band
// in the highlight colour just below the groove.
void TSeekBar::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  if (selStart_ >= selEnd_) return;
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  const int span = groove.width() - handle.width();
  const auto x = [&](int value) {
    return groove.left() + handle.width() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), std::clamp(value, minimum(), maximum()), span);
  };
  const int top = std::min(handle.bottom() + 1, height() - 3);
  QPainter(this).fillRect(QRect(QPoint(x(selStart_), top), QPoint(x(selEnd_), top + 2)),
                          palette().color(QPalette::Highlight));
}
