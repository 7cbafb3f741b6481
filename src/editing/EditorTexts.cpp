#include "editing/EditorTexts.h"

#include <QFileInfo>

#include "media/MediaUtils.h"

QString ShortenedSourceName(const QString& name) {
  if (name.size() <= 50) return name;
  return name.left(44) + ".." + QFileInfo(name).suffix() + "  ";
}

QString SecondsText(std::int64_t microseconds) {
  return QString::asprintf("%d.%.3d", int(microseconds / 1000000), int(microseconds / 1000 % 1000)) +
         QStringLiteral(" Second");
}

QString TimeText(std::int64_t microseconds) { return QString::fromStdString(MicrosecondsText(microseconds)); }
