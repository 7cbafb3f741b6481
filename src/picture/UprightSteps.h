#pragma once

#include <string>

#include "engine/MediaApi.h"
#include "picture/Orientation.h"

// The first steps of every picture chain, before the frame hook and the
// subtitle burn-in draw on the picture: the decoded picture made into the one
// a viewer sees, deinterlaced and upright. Later steps (crop, fitting, the
// encoder's pixel format) and every size computation work on its result.
struct UprightSteps {
  bool deinterlace = false;
  Orientation orientation;

  bool Empty() const { return !deinterlace && orientation.IsUpright(); }
  // The filters, in order; empty when the picture passes as decoded.
  std::string FilterText() const;
  // Size and pixel aspect of the upright picture of a stored one.
  void Apply(int& width, int& height, AVRational& pixelAspect) const;
};

// The orientation a video stream's display matrix asks for; upright without
// one, and upright (with a log line) when it is no quarter turn.
Orientation StreamOrientation(const AVStream& stream);
