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
  if (info.SampleAspectNum > 0 && info.SampleAspectDen > 0) {
    picture.SampleAspectNum = info.SampleAspectNum;
    picture.SampleAspectDen = info.SampleAspectDen;
  }
  return picture;
}
