#include "SubtitlePicture.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "media/MediaApi.h"

namespace test_dvd {
namespace {

struct ContextFree {
  void operator()(AVCodecContext* c) const { media::avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { media::av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { media::av_packet_free(&p); }
};

void Check(int code, const char* step) {
  if (code < 0) throw std::runtime_error(std::string("subtitle picture: ") + step + " failed");
}

// Distance of a pixel from the picture's nearest edge.
int EdgeDistance(const AVFrame& frame, int x, int y) {
  return std::min({x, y, frame.width - 1 - x, frame.height - 1 - y});
}

// A transparent margin, then a black frame around a white box.
void Draw(AVFrame& frame) {
  constexpr int kMargin = 4, kFrame = 4;
  for (int y = 0; y < frame.height; ++y) {
    std::uint8_t* pixel = frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0];
    for (int x = 0; x < frame.width; ++x, pixel += 4) {
      const int distance = EdgeDistance(frame, x, y);
      const std::uint8_t level = distance < kMargin + kFrame ? 0 : 255;
      pixel[0] = pixel[1] = pixel[2] = level;
      pixel[3] = distance < kMargin ? 0 : 255;
    }
  }
}

}  // namespace

void WriteSubtitlePicture(const std::string& path, int width, int height) {
  const AVCodec* codec = media::avcodec_find_encoder_by_name("png");
  if (!codec) throw std::runtime_error("subtitle picture: no png encoder");
  std::unique_ptr<AVCodecContext, ContextFree> encoder(media::avcodec_alloc_context3(codec));
  std::unique_ptr<AVFrame, FrameFree> frame(media::av_frame_alloc());
  std::unique_ptr<AVPacket, PacketFree> packet(media::av_packet_alloc());
  if (!encoder || !frame || !packet) throw std::runtime_error("subtitle picture: out of memory");
  encoder->width = frame->width = width;
  encoder->height = frame->height = height;
  encoder->pix_fmt = AV_PIX_FMT_RGBA;
  frame->format = AV_PIX_FMT_RGBA;
  encoder->time_base = {1, 25};
  Check(media::avcodec_open2(encoder.get(), codec, nullptr), "open encoder");
  Check(media::av_frame_get_buffer(frame.get(), 0), "allocate frame");
  Draw(*frame);
  Check(media::avcodec_send_frame(encoder.get(), frame.get()), "encode");
  Check(media::avcodec_receive_packet(encoder.get(), packet.get()), "encode");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(packet->data), packet->size);
}

}  // namespace test_dvd
