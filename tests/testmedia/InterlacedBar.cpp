#include "InterlacedBar.h"

#include <cstddef>

namespace test_media {

void DrawInterlacedBar(AVFrame& frame, std::int64_t index, bool fieldsApart) {
  constexpr int kBar = 48;
  frame.interlaced_frame = 1;
  frame.top_field_first = 1;
  for (int plane = 0; plane < 3; ++plane) {
    const int scale = plane ? 2 : 1;
    for (int y = 0; y < frame.height / scale; ++y) {
      const bool later = fieldsApart && (y * scale) % 2 == 1;
      const int left = int((kBar * index + (later ? kBar / 2 : 0)) % (frame.width - kBar)) / scale;
      std::uint8_t* row = frame.data[plane] + std::ptrdiff_t(y) * frame.linesize[plane];
      for (int x = 0; x < frame.width / scale; ++x)
        row[x] = plane ? 128 : (x >= left && x < left + kBar / scale ? 235 : 16);
    }
  }
}

}  // namespace test_media
