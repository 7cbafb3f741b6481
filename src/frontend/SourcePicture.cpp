#include "frontend/SourcePicture.h"

#include "probe/MediaProbe.h"

TSourcePicture SourcePictureOf(TCustomMediaProbe& probe) {
  TSourcePicture picture;
  picture.VideoStreamCount = probe.VideoStreamCount() > 0 ? probe.VideoStreamCount() : 0;
  if (picture.VideoStreamCount == 0) return picture;
  const TVideoStreamInfo info = probe.VideoStreamInfo(probe.FirstVideoStreamIndex());
  picture.Width = info.Width;
  picture.Height = info.Height;
  picture.BitRate = info.BitRate;
  const bool average = info.AverageFrameRateNum > 0 && info.AverageFrameRateDen > 0;
  if (average || (info.FrameRateNum > 0 && info.FrameRateDen > 0)) {
    picture.FrameRateNum = average ? info.AverageFrameRateNum : info.FrameRateNum;
    picture.FrameRateDen = average ? info.AverageFrameRateDen : info.FrameRateDen;
  }
  if (info.SampleAspectNum > 0 && info.SampleAspectDen > 0) {
    picture.SampleAspectNum = info.SampleAspectNum;
    picture.SampleAspectDen = info.SampleAspectDen;
  }
  return picture;
}
