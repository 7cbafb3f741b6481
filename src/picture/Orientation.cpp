#include "picture/Orientation.h"

namespace {

int Sign(std::int32_t value) { return (value > 0) - (value < 0); }

}  // namespace

// The matrix maps a stored point (p, q) to the shown one (a p + c q, b p + d q)
// in picture coordinates (q grows downwards). A quarter turn clockwise sends
// the x axis (1, 0) to (0, 1); a mirror reverses the orientation (negative
// determinant) and is undone first, as a flip of the x axis.
std::optional<Orientation> Orientation::FromDisplayMatrix(const std::int32_t matrix[9]) {
  const int a = Sign(matrix[0]), b = Sign(matrix[1]), c = Sign(matrix[3]), d = Sign(matrix[4]);
  const bool axisAligned = (a == 0) != (b == 0) && (c == 0) != (d == 0) && (a == 0) == (d == 0);
  if (!axisAligned) return std::nullopt;
  Orientation orientation;
  orientation.mirrored = a * d - b * c < 0;
  const int x = orientation.mirrored ? -a : a, y = orientation.mirrored ? -b : b;
  if (x == 1) orientation.quarterTurns = 0;
  if (y == 1) orientation.quarterTurns = 1;
  if (x == -1) orientation.quarterTurns = 2;
  if (y == -1) orientation.quarterTurns = 3;
  return orientation;
}

std::string Orientation::FilterText() const {
  static constexpr const char* kTurns[] = {"", "transpose=clock", "hflip,vflip", "transpose=cclock"};
  std::string text = mirrored ? "hflip" : "";
  if (quarterTurns > 0) text += std::string(text.empty() ? "" : ",") + kTurns[quarterTurns % 4];
  return text;
}
