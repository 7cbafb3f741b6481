#include "picture/SubtitleBurnIn.h"

#include <algorithm>
#include <climits>

namespace {

struct Yuva {
  int y, u, v, a;
};

Yuva fromArgb(std::uint32_t argb) {
  const int a = int(argb >> 24), r = int((argb >> 16) & 0xFF), g = int((argb >> 8) & 0xFF), b = int(argb & 0xFF);
  return {(66 * r + 129 * g + 25 * b + 128) / 256 + 16, (-38 * r - 74 * g + 112 * b + 128) / 256 + 128,
          (112 * r - 94 * g - 18 * b + 128) / 256 + 128, a};
}

std::uint8_t blend(std::uint8_t under, int over, int alpha) {
  return std::uint8_t((under * (255 - alpha) + over * alpha + 127) / 255);
}

void drawRect(AVFrame* frame, const AVSubtitleRect& rect) {
  if (rect.type != SUBTITLE_BITMAP || !rect.data[0] || !rect.data[1]) return;
  const auto* palette = reinterpret_cast<const std::uint32_t*>(rect.data[1]);
  const int right = std::min(rect.x + rect.w, frame->width), bottom = std::min(rect.y + rect.h, frame->height);
  for (int y = std::max(rect.y, 0); y < bottom; ++y) {
    for (int x = std::max(rect.x, 0); x < right; ++x) {
      const int index = rect.data[0][(y - rect.y) * rect.linesize[0] + (x - rect.x)];
      if (index >= rect.nb_colors) continue;
      const Yuva colour = fromArgb(palette[index]);
      if (colour.a == 0) continue;
      std::uint8_t& luma = frame->data[0][y * frame->linesize[0] + x];
      luma = blend(luma, colour.y, colour.a);
      if ((x | y) & 1) continue;
      std::uint8_t& u = frame->data[1][(y / 2) * frame->linesize[1] + x / 2];
      std::uint8_t& v = frame->data[2][(y / 2) * frame->linesize[2] + x / 2];
      u = blend(u, colour.u, colour.a);
      v = blend(v, colour.v, colour.a);
    }
  }
}

}  // namespace

SubtitleBurnIn::~SubtitleBurnIn() { Clear(); }

void SubtitleBurnIn::Clear() {
  if (showing_ && media::avsubtitle_free) media::avsubtitle_free(&subtitle_);
  showing_ = false;
}

void SubtitleBurnIn::Show(AVSubtitle& subtitle, std::int64_t startUs) {
  Clear();
  subtitle_ = subtitle;
  subtitle = AVSubtitle{};
  showing_ = subtitle_.num_rects > 0;
  start_ = startUs + std::int64_t(subtitle_.start_display_time) * 1000;
  // An open end lasts until the next subtitle replaces it.
  end_ = subtitle_.end_display_time && subtitle_.end_display_time != UINT32_MAX
             ? startUs + std::int64_t(subtitle_.end_display_time) * 1000
             : INT64_MAX;
  if (!showing_) media::avsubtitle_free(&subtitle_);
}

void SubtitleBurnIn::Draw(AVFrame* frame, std::int64_t ptsUs) {
  if (!showing_ || ptsUs < start_ || ptsUs >= end_ || frame->format != AV_PIX_FMT_YUV420P) return;
  if (media::av_frame_make_writable(frame) < 0) return;
  for (unsigned i = 0; i < subtitle_.num_rects; ++i) drawRect(frame, *subtitle_.rects[i]);
}
