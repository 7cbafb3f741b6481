#include "app/CoverWindow.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmCover::TfrmCover(const QString& coverPath)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmCover"));
  if (QFileInfo::exists(coverPath)) picture_.load(coverPath);
  if (picture_.isNull()) picture_ = BuiltInCoverPicture();
  setFixedSize(picture_.size());
  if (const QScreen* screen = this->screen())
    move(screen->geometry().center() - rect().center());

  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &TfrmCover::timerTick);
  timer_.start();
}

void TfrmCover::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

void TfrmCover::timerTick() {
  if (mainWindow_ && mainWindow_->isVisible()) {
    timer_.stop();
    close();
  }
}

QPixmap BuiltInCoverPicture() {
  QPixmap pixmap(420, 240);
  QPainter painter(&pixmap);
  QLinearGradient gradient(0, 0, 0, pixmap.height());
  gradient.setColorAt(0, QColor(0x1F, 0x3C, 0x88));
  gradient.setColorAt(1, QColor(0x0B, 0x16, 0x33));
  painter.fillRect(pixmap.rect(), gradient);

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xD8, 0xDF, 0xEE));
  painter.drawEllipse(QPoint(80, 120), 56, 56);
  painter.setBrush(QColor(0x1F, 0x3C, 0x88));
  painter.drawEllipse(QPoint(80, 120), 10, 10);

  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPointSize(18);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(150, 70, 260, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Oxbel"));
  font.setPointSize(12);
  painter.setFont(font);
  painter.drawText(QRect(150, 110, 260, 60), Qt::AlignLeft | Qt::TextWordWrap,
                   QStringLiteral("DVD to 3GP Converter"));
  return pixmap;
}
