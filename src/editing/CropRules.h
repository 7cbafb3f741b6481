#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// The crop editor's four spin values: margins in preview pixels, cut off the
// picture area from each side.
struct CropSpins {
  int Up = 0, Down = 0, Left = 0, Right = 0;
  bool operator==(const CropSpins&) const = default;
};

// What "Ok" stores in the job.
struct CropChoice {
  CropSpins Frame;                          // the editor's own rectangle
  int Top = 0, Left = 0, Bottom = 0, Right = 0;  // source pixels, each even
  QString ZoomMode;
};

// The area the tracker covers when the whole picture is selected: the frame
// fitted into the preview image, shrunk by a pixel on every side.
QRect CropPictureArea(QSize frame, QSize image);

// The tracker's bounds for spin values within area.
QRect TrackerForSpins(const QRect& area, const CropSpins& spins);
// Spin values of tracker bounds; negative margins count as 0.
CropSpins SpinsForTracker(const QRect& area, const QRect& bounds);
// Bounds moved (moving) or cut (resizing) so that they stay inside area.
QRect KeepInArea(const QRect& bounds, const QRect& area, bool moving);

// A step of one spin edit: the values to accept, or the last accepted ones
// when the rectangle is at its minimum size along that direction and the step
// would shrink it further.
CropSpins StepSpins(const CropSpins& accepted, const CropSpins& wanted, const QRect& tracker);

// A margin in preview pixels scaled to source pixels: rounded to the nearest
// integer (ties to even), then down to an even number.
int SourceCropPixels(int spin, int sourceSize, int areaSize);
CropChoice ChooseCrop(const CropSpins& spins, QSize source, QSize area, const QString& zoomMode);

// The zoom choice the editor shows for a job's mode: 0 full screen, 1
// letterbox, -1 none ("orig" and "cent").
int ZoomChoiceOf(const QString& zoomMode);
