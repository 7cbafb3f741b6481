#include "preview/PreviewerWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

TPreviewerWindow::TPreviewerWindow(std::function<void()> onClosed)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      onClosed_(std::move(onClosed)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewerWindow::ShowFrame(const TBitmap24& bitmap, const std::string& caption) {
  if (bitmap.Width > 0 && bitmap.Height > 0 &&
      bitmap.Bits.size() >= std::size_t(bitmap.Stride) * std::size_t(bitmap.Height))
    frame_ = QImage(bitmap.Bits.data(), bitmap.Width, bitmap.Height, bitmap.Stride, QImage::Format_BGR888)
                 .convertToFormat(QImage::Format_RGB32);
  if (!frame_.isNull() && size() != frame_.size()) setFixedSize(frame_.size());
  setWindowTitle(QString::fromStdString(caption));
  if (!shownOnce_) {
    shownOnce_ = true;
    CentreOnScreen();
    show();
    CentreOnScreen();  // again with the frame the window manager has added
  }
  update();
}

void TPreviewerWindow::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect area = frameGeometry();
  area.moveCenter(screen->availableGeometry().center());
  move(area.topLeft());
}

void TPreviewerWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.drawImage(QPoint(0, 0), frame_);
}

void TPreviewerWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - pos();
}

void TPreviewerWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) move(event->globalPosition().toPoint() - dragOffset_);
}

void TPreviewerWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void TPreviewerWindow::closeEvent(QCloseEvent* event) {
  if (onClosed_) onClosed_();
  event->accept();
}

PreviewWindowFactory QtPreviewWindowFactory() {
  return [](std::function<void()> onClosed) -> std::unique_ptr<PreviewWindow> {
    return std::make_unique<TPreviewerWindow>(std::move(onClosed));
  };
}
