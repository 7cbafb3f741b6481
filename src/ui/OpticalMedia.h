#pragma once

#include <QList>
#include <QString>

// An optical drive of this machine: its device node ("/dev/sr0") and its
// device number as the mount table writes it ("11:0").
struct OpticalDrive {
  QString node;
  QString deviceNumber;
};

// The optical drives listed under sysBlock (/sys/block/sr*).
QList<OpticalDrive> OpticalDrives(const QString& sysBlock = QStringLiteral("/sys/block"));

// Whether folder lies on an optical medium according to mountInfo (the text of
// /proc/self/mountinfo): the innermost mount holding the folder is an ISO 9660
// or UDF file system or comes from one of the drives.
bool IsOnOpticalMedium(const QString& folder, const QString& mountInfo, const QList<OpticalDrive>& drives);

// Where the drive's disc is mounted according to mountInfo; empty when it is not.
QString DriveMountPoint(const OpticalDrive& drive, const QString& mountInfo);

// The text of this machine's mount table.
QString MountTable();

// The same test against this machine's mount table and drives.
bool IsOnOpticalMedium(const QString& folder);
