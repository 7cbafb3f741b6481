#include "editing/FileInfoRules.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

QString FileInfoName(const QString& path) {
  if (path.size() < 46) return path;
  const QString suffix = QFileInfo(path).suffix();
  return path.left(40) + ".." + (suffix.isEmpty() ? QString() : "." + suffix) + "  ";
}

QString AudioFormatOf(const QString& infoText) {
  const int start = infoText.indexOf(QStringLiteral("Audio:"));
  if (start < 0) return {};
  const int comma = infoText.indexOf(',', start);
  const int from = start + 7;  // after "Audio:" and a blank
  return infoText.mid(from, comma < 0 ? -1 : std::max(0, comma - from)).trimmed();
}

QString FrameRateText(int numerator, int denominator) {
  if (numerator <= 0 || denominator <= 0) return {};
  return QString::number(double(numerator) / denominator, 'f', 3).remove(QRegularExpression("\\.?0+$"));
}

QString TotalFramesText(std::int64_t microseconds, int numerator, int denominator) {
  if (microseconds < 0 || numerator <= 0 || denominator <= 0) return {};
  return QString::number(std::llround(double(microseconds) / 1e6 * numerator / denominator));
}
