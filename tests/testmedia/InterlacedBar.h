#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
}

namespace test_media {

// Draws picture `index` of a white bar 48 pixels wide crossing a black
// picture 24 pixels a field, marked interlaced, top field first: the bottom
// field shows the bar half a frame later than the top one (truly interlaced),
// unless `fieldsApart` is false (progressive, only flagged interlaced).
void DrawInterlacedBar(AVFrame& frame, std::int64_t index, bool fieldsApart);

}  // namespace test_media
