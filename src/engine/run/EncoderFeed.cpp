// Encoding: frames to the encoders or their stages, the packets they give to
// the muxer, and subtitles.
#include "engine/run/EncoderFeed.h"

#include <vector>

#include "engine/run/Muxer.h"
#include "engine/run/ProgressReport.h"
#include "engine/run/StageFeed.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

constexpr int kSubtitleBufferSize = 1024 * 1024;

const char* encodingFailure(const AVCodecContext* encoder) {
  return encoder->codec_type == AVMEDIA_TYPE_VIDEO ? "Video encoding failed" : "Audio encoding failed";
}

}  // namespace

EncoderFeed::EncoderFeed(RunContext& run, RunStop& stop, Muxer& muxer, ProgressReport& progress)
    : run_(run), stop_(stop), muxer_(muxer), progress_(progress) {}

void EncoderFeed::Send(OutputStreamState& output, AVFrame* data) {
  if (output.stage) {
    SendToStage(output, data);
    return;
  }
  AVCodecContext* encoder = output.encoder;
  AVPacket* encoded = encoded_.get();
  const int sent = media::avcodec_send_frame(encoder, data);
  if (sent < 0 && sent != AVERROR_EOF) throw EngineException(encodingFailure(encoder));
  // Flushing (no frame) ends early when a stop is overdue: the file stays valid, only shorter.
  while (data || !stop_.Overdue()) {
    const int received = media::avcodec_receive_packet(encoder, encoded);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    if (received < 0) throw EngineException(encodingFailure(encoder));
    WriteEncoded(output, encoded, encoder->stats_out);
  }
}

// A stream encoded on its own thread: the frame goes to the stage and the
// packets it has finished meanwhile are written here. At the end of the stream
// this waits for the last packet, unless a stop is overdue.
void EncoderFeed::SendToStage(OutputStreamState& output, AVFrame* data) {
  FramePtr queued;
  if (data) {
    queued.reset(media::av_frame_clone(data));
    if (!queued) throw EngineException("Out of memory");
  }
  FeedStage(*output.stage, queued, [&](std::chrono::milliseconds wait) { return TakeEncoded(output, wait); }, stop_);
}

bool EncoderFeed::TakeEncoded(OutputStreamState& output, std::chrono::milliseconds timeout) {
  auto result = output.stage->Receive(timeout);
  if (!result) return false;
  if (result->kind == EncodedPacket::Kind::Error) throw EngineException(encodingFailure(output.encoder));
  if (result->kind == EncodedPacket::Kind::End) return false;
  WriteEncoded(output, result->packet.get(), result->stats.empty() ? nullptr : result->stats.c_str());
  return true;
}

void EncoderFeed::WriteEncoded(OutputStreamState& output, AVPacket* data, const char* stats) {
  if (output.passLog && stats) std::fputs(stats, output.passLog);
  if (output.encoder->codec_type == AVMEDIA_TYPE_VIDEO) progress_.NoteVideoPacket(output, data);
  ++output.packetsWritten;
  if (output.primingShift) {
    if (data->pts != AV_NOPTS_VALUE) data->pts += output.primingShift;
    if (data->dts != AV_NOPTS_VALUE) data->dts += output.primingShift;
  }
  muxer_.WritePacket(output, data, output.encoder->time_base);
}

void EncoderFeed::EncodeSubtitle(OutputStreamState& output, InputStreamState& input, AVSubtitle& subtitle,
                                 const AVPacket* data) {
  std::vector<std::uint8_t> buffer(kSubtitleBufferSize);
  AVPacket* encoded = encoded_.get();
  const std::int64_t pts = media::av_rescale_q(data->pts, input.stream->time_base, kMicroseconds);
  // DVB subtitles are written twice: one packet draws them, the second clears them.
  const bool dvb = output.encoder->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
  const unsigned rects = subtitle.num_rects;
  for (int pass = 0; pass < (dvb ? 2 : 1); ++pass) {
    subtitle.pts = pts;
    if (pass == 1) subtitle.num_rects = 0;
    const int size = media::avcodec_encode_subtitle(output.encoder, buffer.data(), int(buffer.size()), &subtitle);
    subtitle.num_rects = rects;
    if (size < 0) throw EngineException("Subtitle encoding failed");
    media::av_packet_unref(encoded);
    if (media::av_new_packet(encoded, size) < 0) throw EngineException("Out of memory");
    std::copy(buffer.begin(), buffer.begin() + size, encoded->data);
    const std::int64_t shown = pass == 0 ? subtitle.start_display_time : subtitle.end_display_time;
    encoded->pts = encoded->dts = pts + std::int64_t(shown) * 1000;
    ++output.frameNumber;
    muxer_.WritePacket(output, encoded, kMicroseconds);
    media::av_packet_unref(encoded);
  }
}
