#pragma once

#include <array>
#include <cstdint>

#include "engine/face/EngineRecords.h"

// The colour effects and the picture watermark on 24-bit BGR frames, in place.
// Each routine covers every row over the full width (stride padding is left
// alone). The level tables are rebuilt per call; the pixel loops only look up.
// Pure functions of their arguments: any thread, one bitmap per caller.

using LevelTable = std::array<std::uint8_t, 256>;

// Exposure curve: each level pushed towards 255 (positive) or 0 (negative) by
// 1 - exp(-level * exposure / 16384); levels 0 and 255 stay.
LevelTable ExposureTable(float exposure);
// Contrast about the level 170; 100 counts as 99, -100 flattens to 170.
LevelTable ContrastTable(int contrast);
// Brightness (256 = unchanged, 255 takes the top level to 254) followed by the
// contrast table.
LevelTable ToneTable(int brightness, const LevelTable& contrast);

// Replaces every byte (blue, green and red alike) by its exposure level.
void ApplyExposure(TBitmap24& bitmap, float exposure);
// Saturation (255 = unchanged, 0 = grey) about each pixel's mean, then the
// tone table of brightness and contrast. Brightness 255, contrast 0 and
// saturation 255 are the neutral values, but they are not the identity: callers
// skip the call then.
void ApplyColour(TBitmap24& bitmap, int brightness, int contrast, int saturation);
// Draws `image` with its top-left corner at (left, top), clipped to the target.
// Style 1 blends with alpha 0..256 (0 = invisible); any other style multiplies
// the two pictures and ignores alpha.
void OverlayImage(TBitmap24& target, const TBitmap24& image, int left, int top, int alpha, int style);
