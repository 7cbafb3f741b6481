#include "MediaWriter.h"

#include <cmath>
#include <memory>
#include <stdexcept>

#include "TestSignal.h"
#include "engine/MediaApi.h"

namespace test_media {
namespace {

void Check(int code, const std::string& step) {
  if (code >= 0) return;
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  media::av_strerror(code, text, sizeof text);
  throw std::runtime_error(step + ": " + text);
}

struct EncoderFree {
  void operator()(AVCodecContext* c) const { media::avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { media::av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { media::av_packet_free(&p); }
};
struct OutputFree {
  void operator()(AVFormatContext* c) const {
    media::avio_closep(&c->pb);
    media::avformat_free_context(c);
  }
};
using Output = std::unique_ptr<AVFormatContext, OutputFree>;

// One stream being written: its encoder, the frame refilled for every send and
// the next frame's time stamp in the encoder's time base.
struct Track {
  std::unique_ptr<AVCodecContext, EncoderFree> encoder;
  std::unique_ptr<AVFrame, FrameFree> frame;
  AVStream* stream = nullptr;
  std::int64_t nextPts = 0, endPts = 0;
  bool finished = false;
};

void ApplyOptions(void* object, const Options& options, const std::string& step) {
  for (const auto& [key, value] : options)
    Check(media::av_opt_set(object, key.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN), step + " " + key);
}

Track NewTrack(const std::string& encoderName) {
  const AVCodec* codec = media::avcodec_find_encoder_by_name(encoderName.c_str());
  if (!codec) throw std::runtime_error("find encoder: " + encoderName + " is not available");
  Track track;
  track.encoder.reset(media::avcodec_alloc_context3(codec));
  track.frame.reset(media::av_frame_alloc());
  if (!track.encoder || !track.frame) throw std::runtime_error(encoderName + ": out of memory");
  track.encoder->flags |= AV_CODEC_FLAG_BITEXACT;
  track.encoder->thread_count = 1;  // single-threaded output is reproducible
  return track;
}

// Opens the configured encoder and adds its stream.
void OpenTrack(Track& track, AVFormatContext& output, const Options& options) {
  AVCodecContext& encoder = *track.encoder;
  const std::string name = encoder.codec->name;
  if (output.oformat->flags & AVFMT_GLOBALHEADER) encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  ApplyOptions(&encoder, options, name + ": set option");
  Check(media::avcodec_open2(&encoder, encoder.codec, nullptr), name + ": open encoder");
  track.stream = media::avformat_new_stream(&output, nullptr);
  if (!track.stream) throw std::runtime_error(name + ": add stream: out of memory");
  Check(media::avcodec_parameters_from_context(track.stream->codecpar, &encoder), name + ": copy parameters");
  track.stream->time_base = encoder.time_base;
  track.stream->sample_aspect_ratio = encoder.sample_aspect_ratio;
}

void AllocateFrame(Track& track) {
  Check(media::av_frame_get_buffer(track.frame.get(), 0), std::string(track.encoder->codec->name) + ": allocate frame");
}

Track VideoTrack(const VideoSpec& spec, double seconds, AVFormatContext& output) {
  Track track = NewTrack(spec.encoder);
  AVCodecContext& encoder = *track.encoder;
  encoder.width = spec.width;
  encoder.height = spec.height;
  encoder.pix_fmt = AV_PIX_FMT_YUV420P;
  encoder.framerate = spec.frameRate;
  encoder.time_base = av_inv_q(spec.frameRate);
  encoder.gop_size = spec.gopSize;
  encoder.bit_rate = spec.bitRate;
  encoder.rc_max_rate = spec.maxRate;
  encoder.rc_buffer_size = int(spec.bufferSize);
  encoder.sample_aspect_ratio = spec.sampleAspect;
  OpenTrack(track, output, spec.options);
  AVFrame& frame = *track.frame;
  frame.width = spec.width;
  frame.height = spec.height;
  frame.format = AV_PIX_FMT_YUV420P;
  AllocateFrame(track);
  track.endPts = std::lround(seconds * av_q2d(spec.frameRate));
  return track;
}

// The encoder's first sample format that FillTone can write.
AVSampleFormat ToneFormat(const AVCodec& codec) {
  for (const AVSampleFormat* format = codec.sample_fmts; format && *format != AV_SAMPLE_FMT_NONE; ++format)
    if (*format == AV_SAMPLE_FMT_FLTP || *format == AV_SAMPLE_FMT_S16P || *format == AV_SAMPLE_FMT_S16) return *format;
  throw std::runtime_error(std::string(codec.name) + ": no supported sample format");
}

Track AudioTrack(const AudioSpec& spec, double seconds, AVFormatContext& output) {
  Track track = NewTrack(spec.encoder);
  AVCodecContext& encoder = *track.encoder;
  encoder.sample_fmt = ToneFormat(*encoder.codec);
  encoder.sample_rate = spec.sampleRate;
  encoder.time_base = {1, spec.sampleRate};
  encoder.bit_rate = spec.bitRate;
  media::av_channel_layout_default(&encoder.ch_layout, spec.channels);
  OpenTrack(track, output, spec.options);
  AVFrame& frame = *track.frame;
  frame.format = encoder.sample_fmt;
  frame.sample_rate = spec.sampleRate;
  media::av_channel_layout_default(&frame.ch_layout, spec.channels);
  frame.nb_samples = encoder.frame_size > 0 ? encoder.frame_size : 1024;  // PCM takes any size
  AllocateFrame(track);
  // Whole frames only: not every encoder accepts a short last frame.
  const auto samples = std::int64_t(std::ceil(seconds * spec.sampleRate / frame.nb_samples));
  track.endPts = samples * frame.nb_samples;
  return track;
}
