#pragma once

#include <QImage>
#include <QStringList>

class IniFile;
class QWidget;

// The snapshot files written by one SaveSnapshots call.
struct SnapshotResult {
  QStringList written;  // full paths, in writing order
  QStringList failed;   // full paths that could not be written
};

// Writes the snapshot pictures into the snapshot folder (settings
// "SnapOutPutDir", created when missing, with the default folder as fallback),
// replacing older files of the same names: "Snapshot_full.bmp",
// "Snapshot_small.bmp", "Snapshot_full.jpg", "Snapshot_small.jpg", each only
// when its size flag ("snapFullSize", "snapSmallSize") and its format flag
// ("snapBmp", "snapJpg") are set; JPEG quality "jpgCmp". full is the frame in
// its own size, small the frame as the preview shows it. UI thread only (the
// folder fallback may warn the user over parent).
SnapshotResult SaveSnapshots(IniFile& settings, const QImage& full, const QImage& small, QWidget* parent);

// Tells the user over parent which snapshot files could not be written; nothing
// when all were.
void WarnUnsavedSnapshots(const SnapshotResult& result, QWidget* parent);
