#include "preview/VideoWidget.h"

#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

// Where the placement's picture goes in a widget of the given size: the
// placement itself when the surface has the widget's size, otherwise the
// surface scaled into the widget with its proportions kept, centred (the
// player re-places the picture after a resize; until then it must not stretch).
QRect PictureRect(const SinkPlacement& placement, QSize widget) {
  const QRect placed(placement.X, placement.Y, placement.Width, placement.Height);
  const QSize surface(placement.SurfaceWidth, placement.SurfaceHeight);
  if (surface.isEmpty() || surface == widget) return placed;
  const double scale =
      std::min(double(widget.width()) / surface.width(), double(widget.height()) / surface.height());
  const double left = (widget.width() - surface.width() * scale) / 2;
  const double top = (widget.height() - surface.height() * scale) / 2;
  return QRectF(left + placed.x() * scale, top + placed.y() * scale, placed.width() * scale,
                placed.height() * scale)
      .toRect();
}

bool Drawable(const SinkPicture& picture) {
  return picture.Width > 0 && picture.Height > 0 && picture.Stride >= picture.Width * 4 &&
         picture.Pixels.size() >= std::size_t(picture.Stride) * std::size_t(picture.Height);
}

}  // namespace

TVideoWidget::TVideoWidget(QWidget* parent) : QWidget(parent), clientSize_(size()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
}

void TVideoWidget::ClientSize(int& width, int& height) const {
  std::lock_guard lock(mutex_);
  width = clientSize_.width();
  height = clientSize_.height();
}

void TVideoWidget::Present(std::shared_ptr<const SinkPicture> picture, const SinkPlacement& placement) {
  {
    std::lock_guard lock(mutex_);
    picture_ = std::move(picture);
    placement_ = placement;
  }
  ScheduleRepaint();
}

void TVideoWidget::Clear() {
  {
    std::lock_guard lock(mutex_);
    picture_.reset();
  }
  ScheduleRepaint();
}

void TVideoWidget::SetResizeListener(std::function<void(int width, int height)> listener) {
  resizeListener_ = std::move(listener);
}

std::uintptr_t TVideoWidget::Handle() const { return reinterpret_cast<std::uintptr_t>(this); }

std::string TVideoWidget::DriverName() const { return "qt"; }

void TVideoWidget::ScheduleRepaint() {
  if (repaintQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        repaintQueued_ = false;
        update();
      },
      Qt::QueuedConnection);
}

void TVideoWidget::paintEvent(QPaintEvent*) {
  std::shared_ptr<const SinkPicture> picture;
  SinkPlacement placement;
  {
    std::lock_guard lock(mutex_);
    picture = picture_;
    placement = placement_;
  }
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!picture || !Drawable(*picture)) return;
  // Wraps the player's pixels; `picture` keeps them alive until painted.
  const QImage image(picture->Pixels.data(), picture->Width, picture->Height, picture->Stride,
                     QImage::Format_RGB32);
  painter.drawImage(PictureRect(placement, size()), image);
}

void TVideoWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  {
    std::lock_guard lock(mutex_);
    clientSize_ = event->size();
  }
  if (resizeListener_) resizeListener_(event->size().width(), event->size().height());
}
