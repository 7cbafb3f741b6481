#include "SubtitleBoxes.h"

#include <algorithm>
#include <cmath>

namespace test_dvd {

bool ShowsBox(const std::function<double(int x, int y)>& luma, const Box& box) {
  constexpr int kEdge = 10;     // margin and frame of the subtitle picture, with room for blur
  constexpr double kFlat = 12;  // the gradient spreads by about 55
  double sum = 0, squares = 0;
  int count = 0;
  for (int y = box.y + kEdge; y < box.y + box.height - kEdge; ++y)
    for (int x = box.x + kEdge; x < box.x + box.width - kEdge; ++x, ++count) {
      const double value = luma(x, y);
      sum += value;
      squares += value * value;
    }
  const double mean = sum / count;
  return std::sqrt(std::max(0.0, squares / count - mean * mean)) < kFlat;
}

}  // namespace test_dvd
