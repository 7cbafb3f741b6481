#pragma once

#include <QIcon>

// A small camera, the picture of the buttons that save snapshots.
QIcon SnapshotIcon();
