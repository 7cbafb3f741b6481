#pragma once

#include <string>

// Black borders of a picture, in source pixels; each even.
struct BorderMargins {
  int Top = 0, Left = 0, Bottom = 0, Right = 0;
};

// Runs libavfilter's cropdetect over about ten pictures spread over the source
// and returns, per side, the border that at least most of them show, rounded
// down to even. Pictures without any non-black line (fully black or dark) are
// ignored; all zeros when no picture tells anything. `source` is a file name or
// an "opendvd:" name (the DVD plug-in bound and its parameters set beforehand).
// Throws EngineException when the libraries are not loaded or the source cannot
// be opened, has no video or cannot be decoded. Any thread; blocks while it reads.
BorderMargins DetectBorders(const std::string& source);
