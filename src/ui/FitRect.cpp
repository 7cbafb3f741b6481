#include "ui/FitRect.h"

#include <cmath>

namespace {

// Nearest integer, halves to the even neighbour, whatever the floating-point
// rounding mode is.
int roundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction < 0.5) return int(lower);
  if (fraction > 0.5) return int(lower) + 1;
  return std::fmod(lower, 2.0) == 0.0 ? int(lower) : int(lower) + 1;
}

}  // namespace

QRect FitRect(const QRect& picture, const QRect& box) {
  if (picture.width() <= 0 || picture.height() <= 0 || box.width() <= 0 || box.height() <= 0) return box;
  const double a = double(picture.width()) / box.width();
  const double b = double(picture.height()) / box.height();
  if (a >= b) {
    const int c = roundHalfEven((box.height() - picture.height() / a) / 2);
    return QRect(box.left(), box.top() + c, box.width(), box.height() - 2 * c);
  }
  const int c = roundHalfEven((box.width() - picture.width() / b) / 2);
  return QRect(box.left() + c, box.top(), box.width() - 2 * c, box.height());
}
