#include "MediaWriter.h"

#include <cmath>
#include <memory>
#include <stdexcept>

#include "media/MediaApi.h"
#include "Telecine.h"
#include "TestSignal.h"

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
struct ScalerFree {
  void operator()(SwsContext* scaler) const { media::sws_freeContext(scaler); }
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
  // Variable frame rate: every picture's time stamp, and the next picture's number.
  std::vector<std::int64_t> framePts;
  std::int64_t nextFrame = 0;
  double toneHz = 0;
  std::vector<double> beepsAt;
  int letterboxRows = 0, pillarboxColumns = 0;
  bool cornerMarker = false;
  // For an encoder fed another pixel format: the 8-bit 4:2:0 picture drawn
  // first and the converter from it.
  std::unique_ptr<AVFrame, FrameFree> drawn;
  std::unique_ptr<SwsContext, ScalerFree> converter;
  std::function<void(AVFrame&, std::int64_t)> draw;
  bool softTelecine = false;
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
  encoder.pix_fmt = spec.pixelFormat;
  encoder.color_primaries = spec.primaries;
  encoder.color_trc = spec.transfer;
  encoder.colorspace = spec.matrix;
  encoder.framerate = spec.frameRate;
  encoder.time_base = spec.secondDurationsMs ? AVRational{1, 1000} : av_inv_q(spec.frameRate);
  encoder.gop_size = spec.gopSize;
  encoder.bit_rate = spec.bitRate;
  encoder.rc_max_rate = spec.maxRate;
  encoder.rc_buffer_size = int(spec.bufferSize);
  encoder.sample_aspect_ratio = spec.sampleAspect;
  track.softTelecine = spec.softTelecine;
  if (spec.softTelecine) encoder.max_b_frames = 0;  // the flags follow the coded order
  OpenTrack(track, output, spec.options);
  AVFrame& frame = *track.frame;
  frame.width = spec.width;
  frame.height = spec.height;
  frame.format = spec.pixelFormat;
  frame.color_primaries = spec.primaries;
  frame.color_trc = spec.transfer;
  frame.colorspace = spec.matrix;
  AllocateFrame(track);
  track.draw = spec.draw;
  if (spec.pixelFormat != AV_PIX_FMT_YUV420P && !spec.draw) {
    track.drawn.reset(media::av_frame_alloc());
    track.drawn->width = spec.width;
    track.drawn->height = spec.height;
    track.drawn->format = AV_PIX_FMT_YUV420P;
    Check(media::av_frame_get_buffer(track.drawn.get(), 0), "allocate the drawn picture");
    track.converter.reset(media::sws_getContext(spec.width, spec.height, AV_PIX_FMT_YUV420P, spec.width, spec.height,
                                                spec.pixelFormat, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!track.converter) throw std::runtime_error("no converter to the requested pixel format");
  }
  track.endPts = std::lround(seconds / av_q2d(encoder.time_base));
  for (int second = 0; spec.secondDurationsMs && second < std::ceil(seconds); ++second) {
    std::int64_t pts = second * 1000;
    for (const int duration : spec.secondDurationsMs(second)) {
      if (pts < track.endPts) track.framePts.push_back(pts);
      pts += duration;
    }
  }
  track.cornerMarker = spec.cornerMarker;
  if (spec.displayMatrix) {
    auto* matrix = reinterpret_cast<std::int32_t*>(
        media::av_stream_new_side_data(track.stream, AV_PKT_DATA_DISPLAYMATRIX, sizeof(*spec.displayMatrix)));
    if (!matrix) throw std::runtime_error("display matrix: out of memory");
    std::copy(spec.displayMatrix->begin(), spec.displayMatrix->end(), matrix);
  }
  track.letterboxRows = spec.letterboxRows;
  track.pillarboxColumns = spec.pillarboxColumns;
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
  // PCM takes any frame size: a 25th of a second keeps the length exact.
  frame.nb_samples = encoder.frame_size > 0 ? encoder.frame_size : spec.sampleRate / 25;
  AllocateFrame(track);
  // Whole frames only: not every encoder accepts a short last frame.
  const auto samples = std::int64_t(std::ceil(seconds * spec.sampleRate / frame.nb_samples));
  track.endPts = samples * frame.nb_samples;
  track.toneHz = spec.toneHz;
  track.beepsAt = spec.beepsAt;
  return track;
}

Output OpenOutput(const MediaSpec& spec, const std::string& path) {
  AVFormatContext* context = nullptr;
  Check(media::avformat_alloc_output_context2(&context, nullptr, spec.muxer.c_str(), path.c_str()),
        spec.muxer + ": create muxer");
  Output output(context);
  output->flags |= AVFMT_FLAG_BITEXACT;
  ApplyOptions(output.get(), spec.muxerOptions, spec.muxer + ": set option");
  for (const auto& [key, value] : spec.metadata)
    Check(media::av_dict_set(&output->metadata, key.c_str(), value.c_str(), 0), spec.muxer + ": set tag " + key);
  return output;
}

// Sends one frame (nullptr: end of stream) and writes every packet it yields.
void Encode(Track& track, const AVFrame* frame, AVFormatContext& output, AVPacket& packet) {
  AVCodecContext& encoder = *track.encoder;
  const std::string name = encoder.codec->name;
  Check(media::avcodec_send_frame(&encoder, frame), name + ": encode");
  for (;;) {
    const int result = media::avcodec_receive_packet(&encoder, &packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
    Check(result, name + ": encode");
    // Video encoders leave the duration unset; muxers take the last frame's length from it.
    if (packet.duration == 0 && encoder.codec_type == AVMEDIA_TYPE_VIDEO) packet.duration = 1;
    AVRational timeBase = encoder.time_base;
    if (track.softTelecine) {
      MarkSoftTelecine(packet, packet.pts);
      timeBase = kFieldTimeBase;
    }
    media::av_packet_rescale_ts(&packet, timeBase, track.stream->time_base);
    packet.stream_index = track.stream->index;
    Check(media::av_interleaved_write_frame(&output, &packet), name + ": write packet");
  }
}

// Refills the track's frame with its next picture or stretch of tone and encodes it.
void EncodeNext(Track& track, AVFormatContext& output, AVPacket& packet) {
  AVFrame& frame = *track.frame;
  Check(media::av_frame_make_writable(&frame), std::string(track.encoder->codec->name) + ": reuse frame");
  const bool video = track.encoder->codec_type == AVMEDIA_TYPE_VIDEO;
  if (video && track.draw) {
    track.draw(frame, track.framePts.empty() ? track.nextPts : track.nextFrame);
  } else if (video) {
    AVFrame& picture = track.drawn ? *track.drawn : frame;
    if (track.cornerMarker) DrawCornerMarker(picture);
    else FillPicture(picture, track.nextPts);
    DrawBars(picture, track.letterboxRows, track.pillarboxColumns);
    if (track.converter)
      media::sws_scale(track.converter.get(), picture.data, picture.linesize, 0, picture.height, frame.data,
                       frame.linesize);
  } else {
    FillTone(frame, track.nextPts, track.toneHz);
    if (!track.beepsAt.empty()) SilenceBetweenBeeps(frame, track.nextPts, track.beepsAt);
  }
  frame.pts = track.nextPts;
  if (video && !track.framePts.empty()) {
    ++track.nextFrame;
    track.nextPts = track.nextFrame < std::int64_t(track.framePts.size()) ? track.framePts[size_t(track.nextFrame)]
                                                                          : track.endPts;
  } else {
    track.nextPts += video ? 1 : frame.nb_samples;
  }
  Encode(track, &frame, output, packet);
}

// The unfinished track whose next frame starts first, so packets reach the
// muxer roughly in time order.
Track* NextTrack(std::vector<Track>& tracks) {
  Track* next = nullptr;
  for (Track& track : tracks) {
    if (track.finished) continue;
    if (!next || media::av_compare_ts(track.nextPts, track.encoder->time_base, next->nextPts,
                                      next->encoder->time_base) < 0)
      next = &track;
  }
  return next;
}

void WriteTracks(std::vector<Track>& tracks, AVFormatContext& output) {
  std::unique_ptr<AVPacket, PacketFree> packet(media::av_packet_alloc());
  if (!packet) throw std::runtime_error("allocate packet: out of memory");
  while (Track* track = NextTrack(tracks)) {
    if (track->nextPts < track->endPts) {
      EncodeNext(*track, output, *packet);
    } else {
      Encode(*track, nullptr, output, *packet);
      track->finished = true;
    }
  }
}

}  // namespace

void WriteMedia(const MediaSpec& spec, const std::string& path) {
  Output output = OpenOutput(spec, path);
  std::vector<Track> tracks;
  if (spec.video) tracks.push_back(VideoTrack(*spec.video, spec.seconds, *output));
  if (spec.audio) tracks.push_back(AudioTrack(*spec.audio, spec.seconds, *output));
  for (const AudioSpec& audio : spec.moreAudio) tracks.push_back(AudioTrack(audio, spec.seconds, *output));
  if (!(output->oformat->flags & AVFMT_NOFILE))
    Check(media::avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE), "open " + path);
  Check(media::avformat_write_header(output.get(), nullptr), spec.muxer + ": write header");
  WriteTracks(tracks, *output);
  Check(media::av_write_trailer(output.get()), spec.muxer + ": write trailer");
  Check(media::avio_closep(&output->pb), "close " + path);
}

}  // namespace test_media
