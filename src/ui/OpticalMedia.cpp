#include "ui/OpticalMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// The mount table writes blanks, tabs, newlines and backslashes in paths as
// octal escapes ("\040").
QString unescapeMountField(const QString& field) {
  QString text;
  for (qsizetype i = 0; i < field.size(); ++i) {
    bool octal = false;
    const int value = field[i] == '\\' ? field.mid(i + 1, 3).toInt(&octal, 8) : 0;
    if (octal && i + 3 < field.size()) {
      text += QChar(value);
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

struct Mount {
  QString deviceNumber;
  QString mountPoint;
  QString fileSystem;
  QString source;
};

// "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw": the fields
// before "-" are fixed up to the optional ones, three follow it.
bool parseMountLine(const QString& line, Mount& mount) {
  const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
  const qsizetype separator = fields.indexOf(QStringLiteral("-"), 6);
  if (fields.size() < 6 || separator < 0 || separator + 2 >= fields.size()) return false;
  mount = {fields[2], unescapeMountField(fields[4]), fields[separator + 1], unescapeMountField(fields[separator + 2])};
  return true;
}

bool holds(const QString& mountPoint, const QString& folder) {
  if (mountPoint == QLatin1String("/")) return folder.startsWith('/');
  return folder == mountPoint || folder.startsWith(mountPoint + '/');
}

// A symbolic link such as /dev/cdrom names the drive it points to.
QString resolvedNode(const QString& source) {
  const QString canonical = QFileInfo(source).canonicalFilePath();
  return canonical.isEmpty() ? source : canonical;
}

bool fromDrive(const Mount& mount, const QList<OpticalDrive>& drives) {
  const QString node = resolvedNode(mount.source);
  for (const OpticalDrive& drive : drives)
    if (node == drive.node || mount.deviceNumber == drive.deviceNumber) return true;
  return false;
}

QString readText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

QList<OpticalDrive> OpticalDrives(const QString& sysBlock) {
  QList<OpticalDrive> drives;
  for (const QString& name : QDir(sysBlock).entryList({QStringLiteral("sr*")}, QDir::Dirs | QDir::System))
    drives.append({QStringLiteral("/dev/") + name, readText(sysBlock + '/' + name + QStringLiteral("/dev")).trimmed()});
  return drives;
}

bool IsOnOpticalMedium(const QString& folder, const QString& mountInfo, const QList<OpticalDrive>& drives) {
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  const QString path = QDir::cleanPath(canonical.isEmpty() ? QFileInfo(folder).absoluteFilePath() : canonical);
  // The innermost mount wins; of two on the same point the later one hides the earlier.
  Mount innermost;
  bool found = false;
  for (const QString& line : mountInfo.split('\n', Qt::SkipEmptyParts)) {
    Mount mount;
    if (!parseMountLine(line, mount) || !holds(mount.mountPoint, path)) continue;
    if (found && mount.mountPoint.size() < innermost.mountPoint.size()) continue;
    innermost = mount;
    found = true;
  }
  if (!found) return false;
  const QString type = innermost.fileSystem.toLower();
  return type == QLatin1String("iso9660") || type == QLatin1String("udf") || fromDrive(innermost, drives);
}

QString DriveMountPoint(const OpticalDrive& drive, const QString& mountInfo) {
  for (const QString& line : mountInfo.split('\n', Qt::SkipEmptyParts)) {
    Mount mount;
    if (parseMountLine(line, mount) && fromDrive(mount, {drive})) return mount.mountPoint;
  }
  return {};
}

QString MountTable() { return readText(QStringLiteral("/proc/self/mountinfo")); }

bool IsOnOpticalMedium(const QString& folder) { return IsOnOpticalMedium(folder, MountTable(), OpticalDrives()); }
