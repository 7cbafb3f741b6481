#include "media/FrameBitmap.h"

#include <algorithm>
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
  media::sws_freeContext(fromRgbBand_);
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

bool FrameBitmapConverter::FromChangedRows(const TBitmap24& bitmap, const std::vector<std::uint8_t>& before,
                                           AVFrame* frame) {
  const size_t stride = size_t(bitmap.Stride);
  int first = 0, last = bitmap.Height - 1;
  auto rowChanged = [&](int row) { return std::memcmp(&bitmap.Bits[row * stride], &before[row * stride], stride) != 0; };
  while (first <= last && !rowChanged(first)) ++first;
  if (first > last) return true;
  while (!rowChanged(last)) --last;
  if (media::av_frame_make_writable(frame) < 0) return false;
  // 4:2:0 pictures have a converter that takes a band of even rows; others are converted whole.
  if (frame->format != AV_PIX_FMT_YUV420P || (frame->height & 1)) return FromBitmap(bitmap, frame);
  first &= ~1;
  const int end = std::min(bitmap.Height, (last + 2) & ~1);
  // The band is converted as a picture of its own into the frame's rows.
  const int rows = end - first;
  fromRgbBand_ = media::sws_getCachedContext(fromRgbBand_, bitmap.Width, rows, AV_PIX_FMT_BGR24, frame->width, rows,
                                             AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!fromRgbBand_) return false;
  const std::uint8_t* planes[4] = {bitmap.Bits.data() + size_t(first) * stride, nullptr, nullptr, nullptr};
  const int strides[4] = {bitmap.Stride, 0, 0, 0};
  std::uint8_t* target[4] = {frame->data[0] + std::ptrdiff_t(first) * frame->linesize[0],
                             frame->data[1] + std::ptrdiff_t(first / 2) * frame->linesize[1],
                             frame->data[2] + std::ptrdiff_t(first / 2) * frame->linesize[2], nullptr};
  return media::sws_scale(fromRgbBand_, planes, strides, 0, rows, target, frame->linesize) == rows;
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
