#pragma once

class TCustomMediaProbe;

// What the task builder needs to know about a source's picture.
struct TSourcePicture {
  int VideoStreamCount = 0;
  int Width = 0, Height = 0;  // storage size of the first video stream
  int BitRate = -1;           // of that stream, bits/s; 0 or less when unknown
  // Pixel width over pixel height; 1/1 when the source does not say.
  int SampleAspectNum = 1, SampleAspectDen = 1;
  // Pictures per second as a fraction (the average where known); 0 when unknown.
  int FrameRateNum = 0, FrameRateDen = 0;

  // A storage width as seen on a display, in square pixels.
  long double DisplayWidth(int storageWidth) const {
    return static_cast<long double>(storageWidth) * SampleAspectNum / SampleAspectDen;
  }
};

// Reads the picture description of the source the probe is loaded with; a
// source without a picture gives VideoStreamCount 0.
TSourcePicture SourcePictureOf(TCustomMediaProbe& probe);
