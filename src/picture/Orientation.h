#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How a stored picture is turned to be shown upright, read from the display
// matrix a phone writes beside its video (ISO/IEC 14496-12, stream side data):
// an optional mirror (left and right swapped) and then a number of quarter
// turns clockwise.
struct Orientation {
  int quarterTurns = 0;  // 0 to 3, clockwise
  bool mirrored = false;

  bool IsUpright() const { return quarterTurns == 0 && !mirrored; }
  // Width and height trade places.
  bool SwapsSides() const { return quarterTurns % 2 == 1; }
  // Degrees clockwise, 0, 90, 180 or 270.
  int Degrees() const { return quarterTurns * 90; }
  // The filters that turn the stored picture upright ("hflip",
  // "transpose=clock", ...); empty when it is upright.
  std::string FilterText() const;

  // The orientation a display matrix describes (16.16 fixed point, 9 values);
  // nullopt when it is no multiple of 90 degrees (a skew, a singular matrix).
  static std::optional<Orientation> FromDisplayMatrix(const std::int32_t matrix[9]);
};
