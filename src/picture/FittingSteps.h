#pragma once

#include <string>

// The last steps of every conversion's picture chain, after the frame hook
// and the subtitle burn-in drew on the upright picture: the crop, the fitting
// into the output frame (the job's own scale and pad text, or a plain scale),
// the tone mapping deferred from the upright steps, and the pixel format the
// encoder takes. Crop margins are in the upright picture's pixels.
struct FittingSteps {
  int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
  int frameWidth = 0, frameHeight = 0;  // the encoder's frame
  std::string fitFilters;               // the job's fitting; empty: scale to the frame
  std::string lateColour;               // UprightSteps::LateFilterText()
  std::string pixelFormat;              // the encoder's, by name
  int scalerFlags = 0;

  bool Crops() const { return cropTop || cropBottom || cropLeft || cropRight; }
  // The filters for upright pictures of width x height. After the source's
  // picture size changed mid-stream, `resized`, the frame's scale closes the
  // chain so the encoder still gets its size.
  std::string FilterText(int width, int height, bool resized) const;
};
