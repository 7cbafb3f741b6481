#pragma once

#include <cstdint>
#include <vector>

#include "player/VideoSink.h"

// The picture shown for a source without video: the sound's waveform across
// the surface and a level bar at the bottom, light green on black.
void DrawAudioVisualisation(const std::vector<std::int16_t>& samples, SinkPicture& picture);
