#include "ui/SeekBar.h"

#include <QMouseEvent>
#include <QSlider>

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
