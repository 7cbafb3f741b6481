// Encoding, stream copy, subtitles and writing packets through the bitstream
// filters to the interleaving writer.
#include "engine/run/TranscodeRun.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

constexpr AVRational kMicroseconds{1, AV_TIME_BASE};
constexpr int kSubtitleBufferSize = 1024 * 1024;

std::string joinFilters(const std::vector<std::string>& filters) {
  std::string chain;
  for (const auto& filter : filters) chain += (chain.empty() ? "" : ",") + filter;
  return chain;
}

}  // namespace

void TranscodeRun::InitBitstreamFilters() {
  for (auto& output : outputStreams) {
    const auto& filters = output.setup->bitstreamFilters;
    if (filters.empty()) continue;
    const std::string chain = joinFilters(filters);
    if (media::av_bsf_list_parse_str(chain.c_str(), &output.filters) < 0)
      throw EngineException(StringPrintf("Unknown bitstream filter %s", chain.c_str()));
    media::avcodec_parameters_copy(output.filters->par_in, output.stream->codecpar);
    output.filters->time_base_in = output.stream->time_base;
    if (media::av_bsf_init(output.filters) < 0)
      throw EngineException(StringPrintf("Unknown bitstream filter %s", chain.c_str()));
    media::avcodec_parameters_copy(output.stream->codecpar, output.filters->par_out);
  }
}

namespace {

const char* encodingFailure(const AVCodecContext* encoder) {
  return encoder->codec_type == AVMEDIA_TYPE_VIDEO ? "Video encoding failed" : "Audio encoding failed";
}

}  // namespace

void TranscodeRun::SendToEncoder(OutputStreamState& output, AVFrame* data) {
  if (output.stage) {
    SendToStage(output, data);
    return;
  }
  AVCodecContext* encoder = output.encoder;
  const int sent = media::avcodec_send_frame(encoder, data);
  if (sent < 0 && sent != AVERROR_EOF) throw EngineException(encodingFailure(encoder));
  // Flushing (no frame) ends early when a stop is overdue: the file stays valid, only shorter.
  while (data || !StopOverdue()) {
    const int received = media::avcodec_receive_packet(encoder, encoded);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    if (received < 0) throw EngineException(encodingFailure(encoder));
    WriteEncoded(output, encoded, encoder->stats_out);
  }
}

// A stream encoded on its own thread: the frame goes to the stage and the
// packets it has finished meanwhile are written here. At the end of the stream
// this waits for the last packet, unless a stop is overdue.
void TranscodeRun::SendToStage(OutputStreamState& output, AVFrame* data) {
  FramePtr queued;
  if (data) {
    queued.reset(media::av_frame_clone(data));
    if (!queued) throw EngineException("Out of memory");
  }
  FeedStage(*output.stage, queued, [&](std::chrono::milliseconds wait) { return TakeEncoded(output, wait); });
}

// Writes the stage's next packet if one comes within timeout; false when none did.
bool TranscodeRun::TakeEncoded(OutputStreamState& output, std::chrono::milliseconds timeout) {
  auto result = output.stage->Receive(timeout);
  if (!result) return false;
  if (result->kind == EncodedPacket::Kind::Error) throw EngineException(encodingFailure(output.encoder));
  if (result->kind == EncodedPacket::Kind::End) return false;
  WriteEncoded(output, result->packet.get(), result->stats.empty() ? nullptr : result->stats.c_str());
  return true;
}

void TranscodeRun::WriteEncoded(OutputStreamState& output, AVPacket* data, const char* stats) {
  if (output.passLog && stats) std::fputs(stats, output.passLog);
  if (output.encoder->codec_type == AVMEDIA_TYPE_VIDEO) NoteVideoPacket(output, data);
  ++output.packetsWritten;
  if (output.primingShift) {
    if (data->pts != AV_NOPTS_VALUE) data->pts += output.primingShift;
    if (data->dts != AV_NOPTS_VALUE) data->dts += output.primingShift;
  }
  WritePacket(output, data, output.encoder->time_base);
}

void TranscodeRun::NoteVideoPacket(OutputStreamState& output, const AVPacket* data) {
  std::size_t size = 0;
  const std::uint8_t* stats = media::av_packet_get_side_data(data, AV_PKT_DATA_QUALITY_STATS, &size);
  if (stats && size >= 4) {
    const auto lambda = std::int32_t(AV_RL32(stats));
    output.quality = lambda < 0 ? -1.0f : float(lambda) / FF_QP2LAMBDA;
    if (settings.qpHistogram) {
      const int bucket = int(output.quality + 0.5f);
      if (bucket >= 0 && bucket < int(qpHistogram.size())) ++qpHistogram[size_t(bucket)];
    }
    if (size >= 6 && stats[5] >= 3 && size >= 8 + 8 * 3) {
      for (int i = 0; i < 3; ++i) output.error[size_t(i)] = std::int64_t(AV_RL64(stats + 8 + 8 * i));
    }
    output.pictureType = size >= 5 ? stats[4] : 0;
  }
  if (vstats || !settings.vstatsFile.empty()) WriteVideoStats(output, data);
}

void TranscodeRun::WritePacket(OutputStreamState& output, AVPacket* data, AVRational from) {
  data->stream_index = output.index;
  media::av_packet_rescale_ts(data, from, output.stream->time_base);
  const std::int64_t time = data->pts != AV_NOPTS_VALUE ? data->pts : data->dts;
  if (time != AV_NOPTS_VALUE)
    output.lastOutputTime = std::max(output.lastOutputTime,
                                     media::av_rescale_q(time + data->duration, output.stream->time_base, kMicroseconds));
  if (!output.filters) {
    WriteFiltered(output, data);
    return;
  }
  if (media::av_bsf_send_packet(output.filters, data) < 0) return;
  while (media::av_bsf_receive_packet(output.filters, data) >= 0) WriteFiltered(output, data);
}

void TranscodeRun::WriteFiltered(OutputStreamState& output, AVPacket* data) {
  const AVMediaType type = output.stream->codecpar->codec_type;
  (type == AVMEDIA_TYPE_VIDEO ? videoBytes : type == AVMEDIA_TYPE_AUDIO ? audioBytes : extraBytes) += data->size;
  data->stream_index = output.index;
  const auto& file = task.outputs_[size_t(output.file)];
  ++packetsMuxed[size_t(output.file)];
  file.CheckWrite(media::av_interleaved_write_frame(file.context, data),
                  StringPrintf("%s failed for stream %d, codec %s", "av_interleaved_write_frame()", output.index,
                               media::avcodec_get_name(output.stream->codecpar->codec_id)));
}

void TranscodeRun::CopyPacket(InputStreamState& input, OutputStreamState& output, const AVPacket* data) {
  const std::int64_t time = data->pts != AV_NOPTS_VALUE ? data->pts : data->dts;
  if (time != AV_NOPTS_VALUE && media::av_rescale_q(time, input.stream->time_base, kMicroseconds) <
                                    task.outputs_[size_t(output.file)].startTime)
    return;
  const bool video = output.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
  if (video && !output.seenKeyFrame && !(data->flags & AV_PKT_FLAG_KEY) && !settings.copyInitialNonKeyframes) return;
  output.seenKeyFrame = true;
  if (FrameLimitReached(output)) return;
  if (media::av_packet_ref(encoded, data) < 0) throw EngineException("Out of memory");
  media::av_packet_rescale_ts(encoded, input.stream->time_base, output.stream->time_base);
  // The muxer refuses timestamps that go backwards; keep them increasing.
  if (encoded->dts != AV_NOPTS_VALUE && output.lastDts != AV_NOPTS_VALUE && encoded->dts <= output.lastDts) {
    encoded->dts = output.lastDts + 1;
    if (encoded->pts != AV_NOPTS_VALUE && encoded->pts < encoded->dts) encoded->pts = encoded->dts;
  }
  if (encoded->dts != AV_NOPTS_VALUE) output.lastDts = encoded->dts;
  ++output.frameNumber;
  WritePacket(output, encoded, output.stream->time_base);
  media::av_packet_unref(encoded);
}

void TranscodeRun::HandleSubtitle(InputStreamState& input, const AVPacket* data) {
  if (!data) return;
  AVSubtitle subtitle{};
  int got = 0;
  if (media::avcodec_decode_subtitle2(input.decoder, &subtitle, &got, const_cast<AVPacket*>(data)) < 0)
    throw DecodeError();
  if (!got) return;
  if (input.burnIn && data->pts != AV_NOPTS_VALUE) {
    inputFiles[size_t(input.file)].burnIn->Show(subtitle, media::av_rescale_q(data->pts, input.stream->time_base, kMicroseconds));
    return;
  }
  for (auto& output : outputStreams) {
    if (!output.encoder || &inputStreams[size_t(output.source)] != &input) continue;
    if (data->pts == AV_NOPTS_VALUE) {
      media::avsubtitle_free(&subtitle);
      throw EngineException("Subtitle packets must have a pts");
    }
    EncodeSubtitle(output, input, subtitle, data);
  }
  media::avsubtitle_free(&subtitle);
}

void TranscodeRun::EncodeSubtitle(OutputStreamState& output, InputStreamState& input, AVSubtitle& subtitle,
                                  const AVPacket* data) {
  std::vector<std::uint8_t> buffer(kSubtitleBufferSize);
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
    WritePacket(output, encoded, kMicroseconds);
    media::av_packet_unref(encoded);
  }
}
