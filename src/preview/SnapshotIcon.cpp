#include "preview/SnapshotIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon SnapshotIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor body(0x40, 0x48, 0x58);
  painter.setPen(Qt::NoPen);
  painter.setBrush(body);
  painter.drawRoundedRect(QRectF(11, 5, 10, 5), 1.5, 1.5);   // viewfinder hump
  painter.drawRoundedRect(QRectF(2, 8, 28, 19), 3, 3);        // body
  painter.setBrush(QColor(0xA6, 0xCA, 0xF0));
  painter.drawEllipse(QPointF(16, 17.5), 7, 7);               // lens
  painter.setBrush(body);
  painter.drawEllipse(QPointF(16, 17.5), 3.5, 3.5);
  painter.setBrush(QColor(0xF0, 0xC0, 0x40));
  painter.drawRect(QRectF(24, 11, 3, 2));                     // flash
  painter.end();
  return QIcon(pixmap);
}
