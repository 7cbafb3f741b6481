#include "ui/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

void TElidedLabel::SetFullText(const QString& text) {
  setText(text);
  setToolTip(text);
}

void TElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
  style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}
