#include "settings/FormatIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <map>

#include "frontend/FormatTable.h"

namespace {

// A phone body with a screen; keys adds a keypad below the screen.
void DrawPhone(QPainter& p, QColor body, QColor screen, QRectF outline, bool keys) {
  p.setPen(QPen(body.darker(160), 1));
  p.setBrush(body);
  p.drawRoundedRect(outline, 2.5, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(screen);
  const QRectF display(outline.left() + 2, outline.top() + 2, outline.width() - 4, keys ? outline.height() * 0.4 : outline.height() - 6);
  p.drawRect(display);
  if (!keys) {
    p.setBrush(body.lighter(170));
    p.drawEllipse(QPointF(outline.center().x(), outline.bottom() - 2), 1.2, 1.2);
    return;
  }
  p.setBrush(body.lighter(190));
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      p.drawRect(QRectF(outline.left() + 2.5 + column * (outline.width() - 5) / 3, display.bottom() + 1.5 + row * 2.6, 1.6, 1.6));
}

void DrawFilm(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 60, 70));
  p.drawRect(QRectF(2, 4, 16, 12));
  p.setBrush(Qt::white);
  for (int i = 0; i < 4; ++i) {
    p.drawRect(QRectF(3.5 + i * 4, 5, 1.8, 1.5));
    p.drawRect(QRectF(3.5 + i * 4, 13.5, 1.8, 1.5));
  }
  p.setBrush(QColor(90, 160, 230));
  p.drawRect(QRectF(4, 7.5, 5.5, 5));
  p.setBrush(QColor(240, 180, 60));
  p.drawRect(QRectF(10.5, 7.5, 5.5, 5));
}

void DrawNote(QPainter& p) {
  const QColor colour(200, 60, 120);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QRectF(3, 12.5, 5.5, 4.5));
  p.drawEllipse(QRectF(11, 10.5, 5.5, 4.5));
  p.setPen(QPen(colour, 1.6));
  p.drawLine(QPointF(7.8, 14.5), QPointF(7.8, 4));
  p.drawLine(QPointF(15.8, 12.5), QPointF(15.8, 2.5));
  p.setPen(QPen(colour, 2.4));
  p.drawLine(QPointF(7.8, 4.2), QPointF(15.8, 2.7));
}

// A handheld with the four coloured window panes on its screen.
void DrawPocketPc(QPainter& p) {
  DrawPhone(p, QColor(120, 130, 150), QColor(235, 240, 250), QRectF(4.5, 1.5, 11, 17), false);
  const std::array<QColor, 4> panes{QColor(230, 70, 40), QColor(60, 170, 60), QColor(40, 110, 220), QColor(250, 190, 20)};
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) {
    p.setBrush(panes[size_t(i)]);
    p.drawRect(QRectF(7 + (i % 2) * 3.2, 5 + (i / 2) * 3.2, 2.8, 2.8));
  }
}

// A flat screen on a foot.
void DrawTelevision(QPainter& p) {
  p.setPen(QPen(QColor(25, 25, 30), 1));
  p.setBrush(QColor(45, 45, 55));
  p.drawRoundedRect(QRectF(1.5, 3, 17, 11.5), 1.2, 1.2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(80, 150, 230));
  p.drawRect(QRectF(3, 4.5, 14, 8.5));
  p.setBrush(QColor(45, 45, 55));
  p.drawRect(QRectF(9, 14.5, 2, 2));
  p.drawRoundedRect(QRectF(5.5, 16.5, 9, 1.8), 0.8, 0.8);
}

// A globe with its meridians and parallels.
void DrawGlobe(QPainter& p) {
  const QRectF globe(2.5, 2.5, 15, 15);
  p.setPen(QPen(QColor(20, 90, 160), 1.2));
  p.setBrush(QColor(120, 190, 240));
  p.drawEllipse(globe);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(6.5, 2.5, 7, 15));
  p.drawLine(QPointF(10, 2.5), QPointF(10, 17.5));
  p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
  p.drawLine(QPointF(4, 6), QPointF(16, 6));
  p.drawLine(QPointF(4, 14), QPointF(16, 14));
}

// A storage box with its lid and label.
void DrawArchiveBox(QPainter& p) {
  const QColor cardboard(190, 140, 80);
  p.setPen(QPen(cardboard.darker(160), 1));
  p.setBrush(cardboard);
  p.drawRect(QRectF(3, 7, 14, 10.5));
  p.setBrush(cardboard.darker(115));
  p.drawRect(QRectF(2, 3.5, 16, 3.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 245, 230));
  p.drawRect(QRectF(7, 9.5, 6, 3));
}

// The bars of a sound level meter.
void DrawWaveform(QPainter& p) {
  static const double kHeights[] = {4, 9, 14, 7, 12, 5};
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 150, 120));
  for (int i = 0; i < 6; ++i)
    p.drawRoundedRect(QRectF(2 + i * 2.8, 10 - kHeights[i] / 2, 1.9, kHeights[i]), 0.8, 0.8);
}

void Draw(QPainter& p, format_catalogue::GroupPicture picture) {
  using format_catalogue::GroupPicture;
  switch (picture) {
    case GroupPicture::Iphone: DrawPhone(p, QColor(40, 40, 45), QColor(110, 170, 240), QRectF(5, 1.5, 10, 17), false); break;
    case GroupPicture::Gphone: DrawPhone(p, QColor(60, 130, 60), QColor(200, 240, 200), QRectF(5, 1.5, 10, 17), false); break;
    case GroupPicture::MobilePhone: DrawPhone(p, QColor(90, 100, 180), QColor(200, 220, 250), QRectF(5.5, 1.5, 9, 17), true); break;
    case GroupPicture::BlackBerry: DrawPhone(p, QColor(30, 30, 30), QColor(170, 200, 230), QRectF(4, 2.5, 12, 15), true); break;
    case GroupPicture::Nokia: DrawPhone(p, QColor(20, 80, 170), QColor(220, 235, 255), QRectF(6, 1.5, 8, 17), true); break;
    case GroupPicture::PocketPc: DrawPocketPc(p); break;
    case GroupPicture::Film: DrawFilm(p); break;
    case GroupPicture::Note: DrawNote(p); break;
    case GroupPicture::Tablet: DrawPhone(p, QColor(70, 70, 80), QColor(250, 200, 120), QRectF(2, 3, 16, 14), false); break;
    case GroupPicture::Television: DrawTelevision(p); break;
    case GroupPicture::Web: DrawGlobe(p); break;
    case GroupPicture::Archive: DrawArchiveBox(p); break;
    case GroupPicture::Waveform: DrawWaveform(p); break;
  }
}

}  // namespace

QPixmap GroupIcon(int group) {
  static std::map<format_catalogue::GroupPicture, QPixmap> icons;  // UI thread only
  const auto& groups = format_catalogue::groups();
  const auto picture = groups[size_t(std::clamp(group, 0, int(groups.size()) - 1))].picture;
  QPixmap& icon = icons[picture];
  if (icon.isNull()) {
    icon = QPixmap(kIconSize, kIconSize);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, picture);
  }
  return icon;
}

QPixmap ExpandGlyph(bool expanded) {
  QPixmap glyph(kIconSize, kIconSize);
  glyph.fill(Qt::transparent);
  QPainter p(&glyph);
  p.setPen(QColor(120, 130, 150));
  p.setBrush(Qt::white);
  p.drawRect(5, 5, 9, 9);
  p.setPen(QColor(30, 40, 60));
  p.drawLine(7, 9, 12, 9);
  if (!expanded) p.drawLine(9, 7, 9, 12);
  return glyph;
}
