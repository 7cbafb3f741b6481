// Writing packets through the bitstream filters to the interleaving writer,
// stream copy, and the end of the files.
#include "engine/run/Muxer.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

void Muxer::WritePacket(OutputStreamState& output, AVPacket* data, AVRational from) {
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

void Muxer::WriteFiltered(OutputStreamState& output, AVPacket* data) {
  const AVMediaType type = output.stream->codecpar->codec_type;
  (type == AVMEDIA_TYPE_VIDEO ? bytes_.video : type == AVMEDIA_TYPE_AUDIO ? bytes_.audio : bytes_.extra) += data->size;
  data->stream_index = output.index;
  const auto& file = run_.outputFiles[size_t(output.file)];
  ++packetsMuxed_[size_t(output.file)];
  file.CheckWrite(media::av_interleaved_write_frame(file.context, data),
                  StringPrintf("%s failed for stream %d, codec %s", "av_interleaved_write_frame()", output.index,
                               media::avcodec_get_name(output.stream->codecpar->codec_id)));
}

void Muxer::CopyPacket(InputStreamState& input, OutputStreamState& output, const AVPacket* data) {
  const std::int64_t time = data->pts != AV_NOPTS_VALUE ? data->pts : data->dts;
  if (time != AV_NOPTS_VALUE && media::av_rescale_q(time, input.stream->time_base, kMicroseconds) <
                                    run_.outputFiles[size_t(output.file)].startTime)
    return;
  const bool video = output.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
  if (video && !output.seenKeyFrame && !(data->flags & AV_PKT_FLAG_KEY) && !run_.settings.copyInitialNonKeyframes) return;
  output.seenKeyFrame = true;
  if (output.FrameLimitReached(run_.settings)) return;
  AVPacket* copied = copied_.get();
  if (media::av_packet_ref(copied, data) < 0) throw EngineException("Out of memory");
  media::av_packet_rescale_ts(copied, input.stream->time_base, output.stream->time_base);
  // The muxer refuses timestamps that go backwards; keep them increasing.
  if (copied->dts != AV_NOPTS_VALUE && output.lastDts != AV_NOPTS_VALUE && copied->dts <= output.lastDts) {
    copied->dts = output.lastDts + 1;
    if (copied->pts != AV_NOPTS_VALUE && copied->pts < copied->dts) copied->pts = copied->dts;
  }
  if (copied->dts != AV_NOPTS_VALUE) output.lastDts = copied->dts;
  ++output.frameNumber;
  WritePacket(output, copied, output.stream->time_base);
  media::av_packet_unref(copied);
}

void Muxer::WriteTrailers() {
  // The end of the file (an MP4's index) is checked like every other write:
  // without it the file cannot be played.
  for (int o = 0; o < run_.task.OutputCount(); ++o) {
    if (!headerWritten_[size_t(o)]) continue;
    const auto& output = run_.outputFiles[size_t(o)];
    const int ended = media::av_write_trailer(output.context);
    output.CheckWrite(ended, MediaErrorText(output.name, ended));
  }
}

void Muxer::DiscardEmptyOutputs() {
  bool empty = false;
  for (int o = 0; o < run_.task.OutputCount(); ++o) {
    if (packetsMuxed_[size_t(o)] > 0) continue;
    run_.outputFiles[size_t(o)].discard = true;
    empty = true;
  }
  if (empty && !run_.task.StopRequested()) throw EngineException("Output file is empty, nothing was encoded");
}
