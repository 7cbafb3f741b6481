#pragma once

#include <QList>
#include <QString>

// An optical drive as the "Add DVD Driver" menu shows it.
struct DvdDriveItem {
  QString node;   // "/dev/sr0"
  QString label;  // the disc's volume name, empty without a disc
};

// The optical drives of this machine and the state of their discs, behind an
// interface so that tests can stand in for drives this machine does not have.
// UI thread only.
class DvdDriveAccess {
 public:
  virtual ~DvdDriveAccess() = default;
  virtual QList<DvdDriveItem> Drives() = 0;
  // Whether the drive holds a readable disc.
  virtual bool HasDisc(const QString& node) = 0;
  // Whether the disc is scrambled (CSS) and no descrambling library
  // (libdvdcss) can be loaded, so its titles would convert into noise.
  virtual bool NeedsDescrambler(const QString& node) = 0;
};

// The drives in use: this machine's unless a test installed others.
DvdDriveAccess& dvdDrives();
// Installs a replacement (not owned); nullptr restores this machine's.
void setDvdDrives(DvdDriveAccess* replacement);

// The volume identifier of the ISO 9660 descriptor of a disc, a device node
// or an image file; empty when there is none or it cannot be read.
QString VolumeLabel(const QString& path);
