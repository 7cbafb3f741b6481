#include "preview/PreviewPicture.h"

#include <QPainter>

#include "ui/FitRect.h"

TPreviewPicture::TPreviewPicture(QSize size, QColor background, QWidget* parent)
    : QWidget(parent), canvas_(size, QImage::Format_RGB32), background_(background) {
  setFixedSize(size);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Clear();
}

void TPreviewPicture::Clear() {
  canvas_.fill(background_);
  update();
}

void TPreviewPicture::Draw(const QImage& frame) {
  if (frame.width() <= 0 || frame.height() <= 0) return;
  canvas_.fill(background_);
  QPainter painter(&canvas_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(FitRect(frame.rect(), canvas_.rect()), frame);
  painter.end();
  update();
}

void TPreviewPicture::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, canvas_); }
