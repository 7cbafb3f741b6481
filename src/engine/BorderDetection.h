#pragma once

#include <string>

struct BorderMargins { int Top = 0, Left = 0, Bottom = 0, Right = 0; };  // source pixels, each even
// Runs libavfilter's cropdetect over about ten frames spread over the source and
// returns the margins that hold in most of them, rounded down to even.
// Throws EngineException with a clear message when the source cannot be opened or has no video.
BorderMargins DetectBorders(const std::string& source);
