#include "player/PicturePlacement.h"

#include <cmath>

void SurfaceSize(int screenWidth, int screenHeight, int frameWidth, int frameHeight, int& width, int& height) {
  if (screenWidth > 0 && screenHeight > 0) {
    width = screenWidth;
    height = screenHeight;
  } else if (frameWidth > 0 && frameHeight > 0) {
    width = frameWidth;
    height = frameHeight;
  } else {
    width = 640;
    height = 480;
  }
}

double DisplayAspect(double aspectRatio, int frameWidth, int frameHeight, double sampleAspect) {
  if (aspectRatio > 0) return aspectRatio;
  if (aspectRatio < 0 || frameWidth <= 0 || frameHeight <= 0) return 0;
  if (!(sampleAspect > 0)) sampleAspect = 1;
  return sampleAspect * frameWidth / frameHeight;
}

SinkPlacement PlacePicture(int surfaceWidth, int surfaceHeight, double aspect) {
  SinkPlacement placement;
  placement.SurfaceWidth = surfaceWidth;
  placement.SurfaceHeight = surfaceHeight;
  if (!(aspect > 0)) {
    placement.Width = surfaceWidth;
    placement.Height = surfaceHeight;
    return placement;
  }
  int height = surfaceHeight;
  int width = int(std::lround(height * aspect)) & ~1;
  if (width > surfaceWidth) {
    width = surfaceWidth;
    height = int(std::lround(width / aspect)) & ~1;
  }
  placement.Width = width;
  placement.Height = height;
  placement.X = (surfaceWidth - width) / 2;
  placement.Y = (surfaceHeight - height) / 2;
  return placement;
}
