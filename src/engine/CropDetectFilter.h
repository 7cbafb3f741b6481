#pragma once

#include <optional>

#include "engine/BorderDetection.h"

struct AVFrame;

// The black borders cropdetect finds on one decoded picture, not yet rounded;
// nullopt when the picture has no non-black line to measure from. Throws
// EngineException when the filter graph cannot be built or run.
std::optional<BorderMargins> CropDetectFrame(AVFrame* picture);
