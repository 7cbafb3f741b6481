#pragma once

#include "player/VideoSink.h"

// The surface a stream draws on: the component's screen size when set, else
// the decoded frame size, else 640 x 480.
void SurfaceSize(int screenWidth, int screenHeight, int frameWidth, int frameHeight, int& width, int& height);

// The display aspect of a picture: aspectRatio > 0 is taken as it is, 0 means
// the source's own (sample aspect x width / height, a non-positive sample
// aspect counting as 1), < 0 means stretching to the whole surface (returns 0).
double DisplayAspect(double aspectRatio, int frameWidth, int frameHeight, double sampleAspect);

// Where a picture of that aspect goes inside the surface: as high as the
// surface, or as wide when that is too wide, even sizes, centred.
SinkPlacement PlacePicture(int surfaceWidth, int surfaceHeight, double aspect);
