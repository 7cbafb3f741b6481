#include "ui/DvdSourcePath.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isNamed(const QFileInfo& info, const char* name) {
  return info.fileName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool holds(const QDir& folder, const char* name, QDir::Filters kind) {
  for (const QFileInfo& entry : folder.entryInfoList(kind | QDir::Hidden | QDir::NoDotAndDotDot))
    if (isNamed(entry, name)) return true;
  return false;
}

bool isVideoTsFolder(const QFileInfo& info) {
  return info.isDir() && isNamed(info, "VIDEO_TS") && holds(QDir(info.filePath()), "VIDEO_TS.IFO", QDir::Files);
}

}  // namespace

QString DvdSourcePath(const QString& picked) {
  const QFileInfo info(picked);
  if (info.isDir()) {
    if (isVideoTsFolder(info)) return info.absolutePath();
    return holds(QDir(info.filePath()), "VIDEO_TS", QDir::Dirs) ? info.absoluteFilePath() : QString();
  }
  if (!info.isFile()) return {};
  if (info.suffix().compare(QLatin1String("iso"), Qt::CaseInsensitive) == 0) return info.absoluteFilePath();
  if (!isNamed(info, "VIDEO_TS.IFO")) return {};
  const QFileInfo folder(info.absolutePath());
  return isNamed(folder, "VIDEO_TS") ? folder.absolutePath() : folder.absoluteFilePath();
}
