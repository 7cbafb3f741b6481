#pragma once

#include <optional>

#include "picture/Orientation.h"
#include "probe/BorderDetection.h"

struct AVFrame;

// The black borders cropdetect finds on one decoded picture shown with the
// orientation, not yet rounded; nullopt when the picture has no non-black line
// to measure from. Throws EngineException when the filter graph cannot be
// built or run.
std::optional<BorderMargins> CropDetectFrame(AVFrame* picture, const Orientation& orientation = {});
