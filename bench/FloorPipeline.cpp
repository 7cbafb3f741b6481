#include "FloorPipeline.h"

#include <sstream>
#include <stdexcept>

#include "media/MediaApi.h"

namespace {

void check(int result, const char* step) {
  if (result < 0) throw std::runtime_error(std::string(step) + " failed");
}

struct Coder {
  AVCodecContext* decoder = nullptr;
  AVCodecContext* encoder = nullptr;
  AVStream* output = nullptr;
  int input = -1;
};

// Applies "name=value" lines; "bt" becomes libx264's rate tolerance as the engine does.
void applyPreset(AVCodecContext* encoder, const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    if (name == "bt") {
      const std::string ratio = "ratetol=" + std::to_string(std::stod(value) / double(encoder->bit_rate));
      media::av_opt_set(encoder, "x264-params", ratio.c_str(), AV_OPT_SEARCH_CHILDREN);
    } else {
      media::av_opt_set(encoder, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
    }
  }
}

AVCodecContext* openDecoder(AVStream* stream) {
  AVCodecContext* decoder = media::avcodec_alloc_context3(media::avcodec_find_decoder(stream->codecpar->codec_id));
  media::avcodec_parameters_to_context(decoder, stream->codecpar);
  decoder->pkt_timebase = stream->time_base;
  decoder->thread_count = 0;
  check(media::avcodec_open2(decoder, nullptr, nullptr), "open decoder");
  return decoder;
}

void drain(AVCodecContext* encoder, AVStream* stream, AVFormatContext* output, AVPacket* packet) {
  while (media::avcodec_receive_packet(encoder, packet) >= 0) {
    packet->stream_index = stream->index;
    media::av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
    check(media::av_interleaved_write_frame(output, packet), "write");
  }
}

}  // namespace

void RunFloorPipeline(const BenchProfile& profile, const std::string& inputName, const std::string& outputName) {
  AVFormatContext* input = nullptr;
  check(media::avformat_open_input(&input, inputName.c_str(), nullptr, nullptr), "open input");
  check(media::avformat_find_stream_info(input, nullptr), "stream info");
  AVFormatContext* output = nullptr;
  check(media::avformat_alloc_output_context2(&output, nullptr, profile.format.c_str(), outputName.c_str()), "output");

  Coder video, audio;
  video.input = media::av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  audio.input = media::av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  AVStream* sourceVideo = input->streams[video.input];
  AVStream* sourceAudio = input->streams[audio.input];
  video.decoder = openDecoder(sourceVideo);
  audio.decoder = openDecoder(sourceAudio);

  video.encoder = media::avcodec_alloc_context3(media::avcodec_find_encoder_by_name(profile.videoEncoder.c_str()));
  video.encoder->width = profile.width;
  video.encoder->height = profile.height;
  video.encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  const AVRational rate = media::av_guess_frame_rate(input, sourceVideo, nullptr);
  video.encoder->framerate = rate;
  video.encoder->time_base = av_inv_q(rate);
  video.encoder->thread_count = 0;
  if (output->oformat->flags & AVFMT_GLOBALHEADER) video.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  applyPreset(video.encoder, profile.presetText);
  check(media::avcodec_open2(video.encoder, nullptr, nullptr), "open video encoder");

  audio.encoder = media::avcodec_alloc_context3(media::avcodec_find_encoder_by_name("aac"));
  audio.encoder->sample_rate = audio.decoder->sample_rate;
  media::av_channel_layout_default(&audio.encoder->ch_layout, audio.decoder->ch_layout.nb_channels);
  audio.encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
  audio.encoder->time_base = {1, audio.encoder->sample_rate};
  audio.encoder->bit_rate = 128000;
  audio.encoder->thread_count = 0;
  if (output->oformat->flags & AVFMT_GLOBALHEADER) audio.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  check(media::avcodec_open2(audio.encoder, nullptr, nullptr), "open audio encoder");

  for (Coder* coder : {&video, &audio}) {
    coder->output = media::avformat_new_stream(output, nullptr);
    media::avcodec_parameters_from_context(coder->output->codecpar, coder->encoder);
    coder->output->time_base = coder->encoder->time_base;
  }
  check(media::avio_open(&output->pb, outputName.c_str(), AVIO_FLAG_WRITE), "open file");
  check(media::avformat_write_header(output, nullptr), "header");

  SwsContext* scaler = media::sws_getContext(video.decoder->width, video.decoder->height, video.decoder->pix_fmt,
                                             profile.width, profile.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr,
                                             nullptr, nullptr);
  AVFrame* scaled = media::av_frame_alloc();
  scaled->width = profile.width;
  scaled->height = profile.height;
  scaled->format = AV_PIX_FMT_YUV420P;
  check(media::av_frame_get_buffer(scaled, 0), "picture");
  AVAudioFifo* fifo = media::av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, audio.encoder->ch_layout.nb_channels, 4096);
  AVFrame* samples = media::av_frame_alloc();
  AVFrame* frame = media::av_frame_alloc();
  AVPacket* packet = media::av_packet_alloc();
  AVPacket* encoded = media::av_packet_alloc();
  std::int64_t videoPts = 0, audioPts = 0;

  auto encodeAudio = [&](bool final) {
    const int size = audio.encoder->frame_size;
    while (media::av_audio_fifo_size(fifo) >= size || (final && media::av_audio_fifo_size(fifo) > 0)) {
      media::av_frame_unref(samples);
      samples->nb_samples = size;
      samples->format = AV_SAMPLE_FMT_FLTP;
      samples->sample_rate = audio.encoder->sample_rate;
      media::av_channel_layout_copy(&samples->ch_layout, &audio.encoder->ch_layout);
      media::av_frame_get_buffer(samples, 0);
      media::av_samples_set_silence(samples->extended_data, 0, size, samples->ch_layout.nb_channels, AV_SAMPLE_FMT_FLTP);
      media::av_audio_fifo_read(fifo, reinterpret_cast<void**>(samples->extended_data), size);
      samples->pts = audioPts;
      audioPts += size;
      media::avcodec_send_frame(audio.encoder, samples);
      drain(audio.encoder, audio.output, output, encoded);
    }
  };
  auto decode = [&](Coder& coder, const AVPacket* data) {
    media::avcodec_send_packet(coder.decoder, data);
    while (media::avcodec_receive_frame(coder.decoder, frame) >= 0) {
      if (&coder == &video) {
        media::av_frame_make_writable(scaled);
        media::sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, scaled->data, scaled->linesize);
        scaled->pts = videoPts++;
        media::avcodec_send_frame(video.encoder, scaled);
        drain(video.encoder, video.output, output, encoded);
      } else {
        media::av_audio_fifo_write(fifo, reinterpret_cast<void**>(frame->extended_data), frame->nb_samples);
        encodeAudio(false);
      }
      media::av_frame_unref(frame);
    }
  };
  while (media::av_read_frame(input, packet) >= 0) {
    if (packet->stream_index == video.input) decode(video, packet);
    if (packet->stream_index == audio.input) decode(audio, packet);
    media::av_packet_unref(packet);
  }
  decode(video, nullptr);
  decode(audio, nullptr);
  encodeAudio(true);
  for (Coder* coder : {&video, &audio}) {
    media::avcodec_send_frame(coder->encoder, nullptr);
    drain(coder->encoder, coder->output, output, encoded);
  }
  media::av_write_trailer(output);

  media::av_packet_free(&packet);
  media::av_packet_free(&encoded);
  media::av_frame_free(&frame);
  media::av_frame_free(&samples);
  media::av_frame_free(&scaled);
  media::av_audio_fifo_free(fifo);
  media::sws_freeContext(scaler);
  for (Coder* coder : {&video, &audio}) {
    media::avcodec_free_context(&coder->decoder);
    media::avcodec_free_context(&coder->encoder);
  }
  media::avio_closep(&output->pb);
  media::avformat_free_context(output);
  media::avformat_close_input(&input);
}
