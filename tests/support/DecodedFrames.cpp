#include "support/DecodedFrames.h"

#include <cmath>

bool ForEachDecodedFrame(const std::string& path, AVMediaType type,
                         const std::function<void(const AVFrame& frame, double seconds)>& visit) {
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return false;
  media::avformat_find_stream_info(input, nullptr);
  const int index = media::av_find_best_stream(input, type, -1, -1, nullptr, 0);
  if (index < 0) {
    media::avformat_close_input(&input);
    return false;
  }
  const AVStream* stream = input->streams[index];
  AVCodecContext* decoder = media::avcodec_alloc_context3(media::avcodec_find_decoder(stream->codecpar->codec_id));
  media::avcodec_parameters_to_context(decoder, stream->codecpar);
  media::avcodec_open2(decoder, nullptr, nullptr);
  AVPacket* packet = media::av_packet_alloc();
  AVFrame* frame = media::av_frame_alloc();
  auto drain = [&] {
    while (media::avcodec_receive_frame(decoder, frame) >= 0)
      visit(*frame, double(frame->best_effort_timestamp) * av_q2d(stream->time_base));
  };
  while (media::av_read_frame(input, packet) >= 0) {
    if (packet->stream_index == index && media::avcodec_send_packet(decoder, packet) >= 0) drain();
    media::av_packet_unref(packet);
  }
  media::avcodec_send_packet(decoder, nullptr);
  drain();
  media::av_frame_free(&frame);
  media::av_packet_free(&packet);
  media::avcodec_free_context(&decoder);
  media::avformat_close_input(&input);
  return true;
}

int CountDecodedFrames(const std::string& path, AVMediaType type) {
  int frames = 0;
  if (!ForEachDecodedFrame(path, type, [&](const AVFrame&, double) { ++frames; })) return -1;
  return frames;
}

double ToneFrequency(const std::string& path) {
  // Only the stretch from the first to the last loud sample counts, and a
  // crossing only between loud samples: the coding noise of silence (before a
  // late start, say) crosses zero at random.
  constexpr float kLoud = 0.01f;
  std::int64_t samples = 0, crossings = 0, first = -1, last = -1;
  int sign = 0, rate = 0;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame& frame, double) {
    rate = frame.sample_rate;
    const auto* values = reinterpret_cast<const float*>(frame.extended_data[0]);  // fltp from aac
    for (int i = 0; i < frame.nb_samples; ++i, ++samples) {
      if (std::fabs(values[i]) < kLoud) continue;
      const int now = values[i] > 0 ? 1 : -1;
      if (sign != 0 && now != sign) ++crossings;
      sign = now;
      if (first < 0) first = samples;
      last = samples;
    }
  });
  return last > first ? double(crossings) / 2 / (double(last - first) / rate) : -1;
}
