#include "ui/RectTracker.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kHandle = 5;

// Offset of an edge-middle handle along a side of length n.
int middle(int n) { return (n + 1) / 2 - 3; }

// Moves an edge by delta, keeping the length at the minimum at least: the
// leading edge (left or top) moves, the far one stays.
void moveLeadingEdge(int& start, int& length, int delta) {
  if (length <= kTrackerMinimum && delta > 0) return;
  delta = std::min(delta, length - kTrackerMinimum);
  start += delta;
  length -= delta;
}

// The far edge (right or bottom) follows the pointer; the press point moves along.
void moveFarEdge(int& length, int& press, int current) {
  length = std::max(kTrackerMinimum, length + current - press);
  press = current;
}

Qt::CursorShape cursorFor(int zone) {
  switch (zone) {
    case kZoneLeft:
    case kZoneRight: return Qt::SizeHorCursor;
    case kZoneTop:
    case kZoneBottom: return Qt::SizeVerCursor;
    case kZoneTopLeft:
    case kZoneBottomRight: return Qt::SizeFDiagCursor;
    case kZoneTopRight:
    case kZoneBottomLeft: return Qt::SizeBDiagCursor;
    case kZoneMove: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

QRect TrackerHandle(QSize size, int zone) {
  const int w = size.width(), h = size.height();
  switch (zone) {
    case kZoneLeft: return {0, middle(h), kHandle, kHandle};
    case kZoneRight: return {w - kHandle, middle(h), kHandle, kHandle};
    case kZoneTop: return {middle(w), 0, kHandle, kHandle};
    case kZoneBottom: return {middle(w), h - kHandle, kHandle, kHandle};
    case kZoneTopLeft: return {0, 0, kHandle, kHandle};
    case kZoneTopRight: return {w - kHandle, 0, kHandle, kHandle};
    case kZoneBottomLeft: return {0, h - kHandle, kHandle, kHandle};
    case kZoneBottomRight: return {w - kHandle, h - kHandle, kHandle, kHandle};
    default: return {};
  }
}

int TrackerHitZone(QSize size, QPoint point) {
  constexpr int kOrder[] = {kZoneTopLeft,  kZoneBottomRight, kZoneBottomLeft, kZoneTopRight,
                            kZoneLeft,     kZoneRight,       kZoneTop,        kZoneBottom};
  for (int zone : kOrder)
    if (TrackerHandle(size, zone).contains(point)) return zone;
  const QRect inner(2, 2, size.width() - 4, size.height() - 4);
  return inner.contains(point) ? kZoneMove : kZoneNone;
}

QRect DragTrackerBounds(const QRect& bounds, int zone, QPoint& press, QPoint current) {
  int left = bounds.left(), top = bounds.top(), width = bounds.width(), height = bounds.height();
  const int dx = current.x() - press.x(), dy = current.y() - press.y();
  const bool leftEdge = zone == kZoneLeft || zone == kZoneTopLeft || zone == kZoneBottomLeft;
  const bool rightEdge = zone == kZoneRight || zone == kZoneTopRight || zone == kZoneBottomRight;
  const bool topEdge = zone == kZoneTop || zone == kZoneTopLeft || zone == kZoneTopRight;
  const bool bottomEdge = zone == kZoneBottom || zone == kZoneBottomLeft || zone == kZoneBottomRight;
  if (leftEdge) moveLeadingEdge(left, width, dx);
  if (rightEdge) moveFarEdge(width, press.rx(), current.x());
  if (topEdge) moveLeadingEdge(top, height, dy);
  if (bottomEdge) moveFarEdge(height, press.ry(), current.y());
  if (zone == kZoneMove) {
    left += dx;
    top += dy;
  }
  return {left, top, width, height};
}

TRectTracker::TRectTracker(QWidget* parent) : QWidget(parent) {
  resize(65, 65);
  setMinimumSize(kTrackerMinimum, kTrackerMinimum);
  setMouseTracking(true);
  setAttribute(Qt::WA_NoSystemBackground);
}

QRect TRectTracker::InnerRect() const {
  return QRect(QPoint(x() + 2, y() + 2), QPoint(x() + width() - 2, y() + height() - 2));
}

// A dotted outline that shows on dark and light pictures alike (white under
// black dashes), then the eight handles.
void TRectTracker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect outline(2, 2, width() - 5, height() - 5);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawRect(outline);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  painter.drawRect(outline);
  // Black handles, edged in white so that they show on dark pictures too.
  for (int zone = kZoneLeft; zone <= kZoneBottomRight; ++zone) {
    const QRect handle = TrackerHandle(size(), zone);
    painter.fillRect(handle, Qt::black);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(handle.adjusted(-1, -1, 0, 0));
  }
}

void TRectTracker::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressBounds_ = geometry();
    press_ = event->position().toPoint();
    zone_ = TrackerHitZone(size(), press_);
  }
  emit MouseDown(event->position().toPoint());
}

void TRectTracker::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (zone_ == kZoneNone) {
    ShowCursorFor(TrackerHitZone(size(), point));
    return;
  }
  setGeometry(DragTrackerBounds(geometry(), zone_, press_, point));
  emit MouseMove(point);
}

void TRectTracker::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || zone_ == kZoneNone) return;
  zone_ = kZoneNone;
  if (geometry() != pressBounds_) emit Change(InnerRect());
}

void TRectTracker::ShowCursorFor(int zone) { setCursor(cursorFor(zone)); }
