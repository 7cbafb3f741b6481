#include "support/DecodedSubtitles.h"

#include <cstring>

#include "media/MediaApi.h"

namespace {

ShownSubtitle Shown(const AVSubtitle& subtitle, double packetSeconds) {
  ShownSubtitle shown;
  shown.start = packetSeconds + subtitle.start_display_time / 1000.0;
  shown.end = packetSeconds + subtitle.end_display_time / 1000.0;
  if (subtitle.num_rects < 1) return shown;
  const AVSubtitleRect& rect = *subtitle.rects[0];
  shown.x = rect.x;
  shown.y = rect.y;
  shown.width = rect.w;
  shown.height = rect.h;
  const std::uint8_t index = rect.data[0][(rect.h / 2) * rect.linesize[0] + rect.w / 2];
  std::memcpy(&shown.centre, rect.data[1] + 4 * index, 4);
  return shown;
}

}  // namespace

std::vector<std::vector<ShownSubtitle>> DecodeSubtitleStreams(const std::string& path) {
  std::vector<std::vector<ShownSubtitle>> streams;
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return streams;
  media::avformat_find_stream_info(input, nullptr);
  std::vector<AVCodecContext*> decoders(input->nb_streams, nullptr);
  std::vector<int> trackOf(input->nb_streams, -1);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* parameters = input->streams[i]->codecpar;
    if (parameters->codec_type != AVMEDIA_TYPE_SUBTITLE) continue;
    const AVCodec* codec = media::avcodec_find_decoder(parameters->codec_id);
    decoders[i] = media::avcodec_alloc_context3(codec);
    media::avcodec_parameters_to_context(decoders[i], parameters);
    media::avcodec_open2(decoders[i], codec, nullptr);
    trackOf[i] = int(streams.size());
    streams.emplace_back();
  }
  AVPacket* packet = media::av_packet_alloc();
  while (media::av_read_frame(input, packet) >= 0) {
    const int index = packet->stream_index;
    AVSubtitle subtitle{};
    int got = 0;
    if (decoders[index] && media::avcodec_decode_subtitle2(decoders[index], &subtitle, &got, packet) >= 0 && got) {
      const double seconds = double(packet->pts) * av_q2d(input->streams[index]->time_base);
      streams[size_t(trackOf[index])].push_back(Shown(subtitle, seconds));
      media::avsubtitle_free(&subtitle);
    }
    media::av_packet_unref(packet);
  }
  media::av_packet_free(&packet);
  for (AVCodecContext*& decoder : decoders) media::avcodec_free_context(&decoder);
  media::avformat_close_input(&input);
  return streams;
}
