#include "player/ScreenPicture.h"

std::shared_ptr<SinkPicture> NewScreenPicture(int width, int height) {
  auto picture = std::make_shared<SinkPicture>();
  picture->Width = width;
  picture->Height = height;
  picture->Stride = width * 4;
  picture->Pixels.assign(std::size_t(picture->Stride) * std::size_t(height), 0);
  return picture;
}

bool ScaleForScreen(SwsContext*& scaler, const AVFrame* frame, SinkPicture& picture) {
  scaler = media::sws_getCachedContext(scaler, frame->width, frame->height, AVPixelFormat(frame->format), picture.Width,
                                       picture.Height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!scaler) return false;
  std::uint8_t* planes[4] = {picture.Pixels.data(), nullptr, nullptr, nullptr};
  int strides[4] = {picture.Stride, 0, 0, 0};
  media::sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
  return true;
}
