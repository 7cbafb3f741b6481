#pragma once

#include <cstdint>
#include <vector>

struct AVFrame;

namespace test_media {

// Draws picture number `index` of a moving test pattern into a yuv420p frame:
// a diagonal gradient that scrolls and a bright box that crosses the picture.
void FillPicture(AVFrame& frame, std::int64_t index);

// Paints black bars (Y 16, U and V 128) over a yuv420p frame: `rows` at the top
// and at the bottom, `columns` at the left and at the right; even counts keep
// the chroma planes aligned with them.
void DrawBars(AVFrame& frame, int rows, int columns);

// Paints a yuv420p frame black with a white block over the top left third of
// its width and height: a mark whose place shows how a picture was turned.
void DrawCornerMarker(AVFrame& frame);

// Fills an audio frame (planar float, planar or packed 16-bit) with a sine
// tone starting at sample `firstSample`; channel n plays toneHz * (n + 1).
void FillTone(AVFrame& frame, std::int64_t firstSample, double toneHz = 440);
// Silences the samples of the frame outside kBeepSeconds from each beep time (seconds).
void SilenceBetweenBeeps(AVFrame& frame, std::int64_t firstSample, const std::vector<double>& beepsAt);

}  // namespace test_media
