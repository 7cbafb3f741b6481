#include "editing/CropRules.h"

#include <algorithm>
#include <cmath>

#include "ui/FitRect.h"
#include "ui/RectTracker.h"

QRect CropPictureArea(QSize frame, QSize image) {
  return FitRect(QRect(QPoint(), frame), QRect(QPoint(), image)).adjusted(1, 1, -1, -1);
}

QRect TrackerForSpins(const QRect& area, const CropSpins& spins) {
  return {area.left() + spins.Left, area.top() + spins.Up, area.width() - spins.Right - spins.Left,
          area.height() - spins.Down - spins.Up};
}

CropSpins SpinsForTracker(const QRect& area, const QRect& bounds) {
  const auto margin = [](int value) { return std::max(0, value); };
  return {margin(bounds.top() - area.top()), margin(area.top() + area.height() - bounds.height() - bounds.top()),
          margin(bounds.left() - area.left()), margin(area.left() + area.width() - bounds.width() - bounds.left())};
}

namespace {

// One direction of KeepInArea: start and length within [low, low + span).
void keepWithin(int& start, int& length, int low, int span, bool moving) {
  length = std::min(length, span);
  if (moving) {
    start = std::clamp(start, low, low + span - length);
    return;
  }
  const int end = std::min(start + length, low + span);
  start = std::max(start, low);
  length = std::max(end - start, kTrackerMinimum);
  start = std::min(start, low + span - length);
}

}  // namespace

QRect KeepInArea(const QRect& bounds, const QRect& area, bool moving) {
  int left = bounds.left(), top = bounds.top(), width = bounds.width(), height = bounds.height();
  keepWithin(left, width, area.left(), area.width(), moving);
  keepWithin(top, height, area.top(), area.height(), moving);
  return {left, top, width, height};
}

CropSpins StepSpins(const CropSpins& accepted, const CropSpins& wanted, const QRect& tracker) {
  CropSpins result = wanted;
  const auto refuse = [](int size, int old, int value) { return size <= kTrackerMinimum && value >= old; };
  if (refuse(tracker.height(), accepted.Up, wanted.Up) && wanted.Up != accepted.Up) result.Up = accepted.Up;
  if (refuse(tracker.height(), accepted.Down, wanted.Down) && wanted.Down != accepted.Down) result.Down = accepted.Down;
  if (refuse(tracker.width(), accepted.Left, wanted.Left) && wanted.Left != accepted.Left) result.Left = accepted.Left;
  if (refuse(tracker.width(), accepted.Right, wanted.Right) && wanted.Right != accepted.Right)
    result.Right = accepted.Right;
  for (int* value : {&result.Up, &result.Down, &result.Left, &result.Right}) *value = std::max(0, *value);
  return result;
}

int SourceCropPixels(int spin, int sourceSize, int areaSize) {
  const double scaled = sourceSize == areaSize || areaSize <= 0 ? spin : double(spin) * sourceSize / areaSize;
  return int(std::nearbyint(scaled)) / 2 * 2;
}

CropChoice ChooseCrop(const CropSpins& spins, QSize source, QSize area, const QString& zoomMode) {
  CropChoice choice;
  choice.Frame = spins;
  choice.Top = SourceCropPixels(spins.Up, source.height(), area.height());
  choice.Bottom = SourceCropPixels(spins.Down, source.height(), area.height());
  choice.Left = SourceCropPixels(spins.Left, source.width(), area.width());
  choice.Right = SourceCropPixels(spins.Right, source.width(), area.width());
  choice.ZoomMode = zoomMode;
  return choice;
}

int ZoomChoiceOf(const QString& zoomMode) {
  if (zoomMode == "lbox") return 1;
  if (zoomMode == "orig" || zoomMode == "cent" || zoomMode == "center") return -1;
  return 0;
}
