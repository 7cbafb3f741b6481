#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

// Hit zones of a rubber-band rectangle, in the order they are tested.
enum TrackerZone : int {
  kZoneLeft = 0,
  kZoneRight = 1,
  kZoneTop = 2,
  kZoneBottom = 3,
  kZoneTopLeft = 4,
  kZoneTopRight = 5,
  kZoneBottomLeft = 6,
  kZoneBottomRight = 7,
  kZoneMove = 8,
  kZoneNone = 9,
};

constexpr int kTrackerMinimum = 10;  // smallest width and height

// The zone under point (tracker coordinates) of a tracker of that size.
int TrackerHitZone(QSize size, QPoint point);
// The handle rectangles (5 x 5) at the corners and the edge middles.
QRect TrackerHandle(QSize size, int zone);
// New bounds (parent coordinates) after the pointer moved to current (tracker
// coordinates) while dragging zone; press is the point of the press, updated
// where the tracker's edge follows the pointer without the tracker moving.
QRect DragTrackerBounds(const QRect& bounds, int zone, QPoint& press, QPoint current);

// A rubber-band rectangle laid over a picture: dotted outline with eight
// handles; the user drags its edges, corners or body. Reports every move and,
// on release, the changed inner rectangle. UI thread only.
class TRectTracker : public QWidget {
  Q_OBJECT

 public:
  explicit TRectTracker(QWidget* parent = nullptr);

  // The rectangle 2 pixels inside the bounds, in parent coordinates.
  QRect InnerRect() const;
  // The zone being dragged; kZoneNone while no button is held.
  int Zone() const { return zone_; }

 signals:
  void MouseDown(QPoint position);
  // After the tracker applied its own drag rule; position in tracker coordinates.
  void MouseMove(QPoint position);
  void Change(QRect trackRect);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowCursorFor(int zone);

  int zone_ = kZoneNone;  // captured at the last press
  QPoint press_;
  QRect pressBounds_;
};
