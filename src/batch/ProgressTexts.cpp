#include "batch/ProgressTexts.h"

#include <QFileInfo>

int ProgressPercent(std::int64_t currentUs, std::int64_t totalUs) {
  return totalUs > 0 ? int(currentUs * 100 / totalUs) : -1;
}

QString ShortenedCaption(const QString& caption) {
  if (caption.size() < 51) return caption;
  const QString suffix = QFileInfo(caption).suffix();
  return caption.left(44) + ".." + (suffix.isEmpty() ? QString() : "." + suffix);
}
