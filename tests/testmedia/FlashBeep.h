#pragma once

#include "MediaWriter.h"

namespace test_media {

// Clips for measuring picture-to-sound timing: a black picture that turns
// white for 100 ms from the first picture of each whole second, and a 50 ms
// beep starting at that picture's time, silence elsewhere.
enum class FlashBeepKind {
  Pal25,       // constant 25 fps MPEG-2 + MPEG audio program stream, 352x288
  Ntsc2997,    // constant 29.97 fps MPEG-2 + MPEG audio program stream, 352x240
  Variable,    // H.264 + AAC MP4 whose frames last 30, 50 or 70 ms, a different count each second
};

inline constexpr double kFlashSeconds = 0.1;

MediaSpec FlashBeepSpec(FlashBeepKind kind, double seconds);

}  // namespace test_media
