#include "support/PacketTimes.h"

#include <algorithm>

double PacketEndSeconds(const std::string& path, AVMediaType type) {
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return -1;
  media::avformat_find_stream_info(input, nullptr);
  const int index = media::av_find_best_stream(input, type, -1, -1, nullptr, 0);
  double end = -1;
  AVPacket* packet = media::av_packet_alloc();
  while (index >= 0 && media::av_read_frame(input, packet) >= 0) {
    if (packet->stream_index == index && packet->pts != AV_NOPTS_VALUE)
      end = std::max(end, double(packet->pts + packet->duration) * av_q2d(input->streams[index]->time_base));
    media::av_packet_unref(packet);
  }
  media::av_packet_free(&packet);
  media::avformat_close_input(&input);
  return end;
}
