#include "picture/FittingSteps.h"

#include "media/MediaUtils.h"

std::string FittingSteps::FilterText(int width, int height, bool resized) const {
  std::string chain;
  auto append = [&](const std::string& filter) {
    if (!filter.empty()) chain += (chain.empty() ? "" : ",") + filter;
  };
  const int cropWidth = width - cropLeft - cropRight, cropHeight = height - cropTop - cropBottom;
  if (Crops()) append(StringPrintf("crop=%d:%d:%d:%d", cropWidth, cropHeight, cropLeft, cropTop));
  const std::string scale = StringPrintf("scale=%d:%d:flags=%d", frameWidth, frameHeight, scalerFlags);
  if (!resized && fitFilters.empty() && (cropWidth != frameWidth || cropHeight != frameHeight)) append(scale);
  append(fitFilters);
  if (resized) append(scale);
  append(lateColour);
  append("format=pix_fmts=" + pixelFormat);
  return chain;
}
