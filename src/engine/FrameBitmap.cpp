#include "engine/FrameBitmap.h"

#include <cstring>

namespace {

void shape(TBitmap24& bitmap, int width, int height) {
  if (bitmap.Width == width && bitmap.Height == height) return;
  bitmap.Width = width;
  bitmap.Height = height;
  bitmap.Stride = width * 3;
  bitmap.Bits.assign(size_t(bitmap.Stride) * size_t(height), 0);
}

bool directCopy(const AVFrame* frame, const TBitmap24& bitmap) {
  return frame->format == AV_PIX_FMT_BGR24 && frame->width % 2 == 0 && frame->height % 2 == 0 &&
         frame->linesize[0] == bitmap.Stride;
}

}  // namespace

FrameBitmapConverter::~FrameBitmapConverter() {
  if (!media::sws_freeContext) return;
  media::sws_freeContext(toRgb_);
  media::sws_freeContext(fromRgb_);
}

bool FrameBitmapConverter::ToBitmap(const AVFrame* frame, TBitmap24& bitmap) {
  shape(bitmap, frame->width, frame->height);
  if (directCopy(frame, bitmap)) {
    std::memcpy(bitmap.Bits.data(), frame->data[0], bitmap.Bits.size());
    return true;
  }
  toRgb_ = media::sws_getCachedContext(toRgb_, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                       frame->height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!toRgb_) return false;
  std::uint8_t* planes[4] = {bitmap.Bits.data(), nullptr, nullptr, nullptr};
  int strides[4] = {bitmap.Stride, 0, 0, 0};
  media::sws_scale(toRgb_, frame->data, frame->linesize, 0, frame->height, planes, strides);
  return true;
}

bool FrameBitmapConverter::FromBitmap(const TBitmap24& bitmap, AVFrame* frame) {
  if (directCopy(frame, bitmap)) {
    std::memcpy(frame->data[0], bitmap.Bits.data(), bitmap.Bits.size());
    return true;
  }
  fromRgb_ = media::sws_getCachedContext(fromRgb_, bitmap.Width, bitmap.Height, AV_PIX_FMT_BGR24, frame->width,
                                         frame->height, AVPixelFormat(frame->format), SWS_BICUBIC, nullptr, nullptr,
                                         nullptr);
  if (!fromRgb_) return false;
  const std::uint8_t* planes[4] = {bitmap.Bits.data(), nullptr, nullptr, nullptr};
  const int strides[4] = {bitmap.Stride, 0, 0, 0};
  media::sws_scale(fromRgb_, planes, strides, 0, bitmap.Height, frame->data, frame->linesize);
  return true;
}
