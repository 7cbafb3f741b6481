// Decoding the input streams, on this thread or a video stream's stage, and
// the end of each stream's decoding.
#include "engine/run/InputDecoding.h"

#include "engine/run/StageFeed.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

InputDecoding::InputDecoding(RunContext& run, RunStop& stop, RunInputs& inputs, InputClock& clock,
                             InputPictures& pictures, DecodedSink& sink)
    : run_(run), stop_(stop), inputs_(inputs), clock_(clock), pictures_(pictures), sink_(sink) {}

void InputDecoding::ProcessPacket(InputStreamState& input, AVPacket* data) {
  try {
    if (input.decodingNeeded) {
      if (input.stream->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) HandleSubtitle(input, data);
      else Decode(input, data);
    }
  } catch (const DecodeError&) {
    const std::string message = StringPrintf("Error while decoding stream #%d.%d (%s)", input.file, input.index,
                                             media::avcodec_get_name(input.stream->codecpar->codec_id));
    if (run_.settings.exitOnError) throw EngineException(message);
    if (run_.settings.verbosity >= 0) TMediaLogger::instance().Log(&run_.task, llVerbose, message);
  }
  if (!data) return;
  sink_.Copy(input, data);
  if (!input.decodingNeeded && data->dts != AV_NOPTS_VALUE) {
    input.pts = media::av_rescale_q(data->dts, input.stream->time_base, kMicroseconds);
    input.nextPts = input.pts + media::av_rescale_q(data->duration, input.stream->time_base, kMicroseconds);
  }
}

void InputDecoding::FlushFile(int file) {
  for (auto& input : inputs_.Streams())
    if (input.file == file && input.decodingNeeded && !input.decoderFlushed) {
      FlushStream(input);
      input.decoderFlushed = true;
    }
}

void InputDecoding::FlushAll() {
  for (auto& input : inputs_.Streams()) {
    if (!input.decodingNeeded || input.decoderFlushed || !input.decoder) continue;
    input.decoderFlushed = true;
    if (input.stream->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) continue;
    FlushStream(input);
  }
}

void InputDecoding::FlushStream(InputStreamState& input) {
  ProcessPacket(input, nullptr);
  pictures_.Flush(input);
}

void InputDecoding::Decode(InputStreamState& input, const AVPacket* data) {
  if (input.stage) {
    DecodeOnStage(input, data);
    return;
  }
  AVFrame* frame = frame_.get();
  if (media::avcodec_send_packet(input.decoder, data) < 0 && data) throw DecodeError();
  // Without a packet the decoder hands out what it holds, unless a stop is overdue.
  for (int index = 1; data || !stop_.Overdue(); ++index) {
    const int received = media::avcodec_receive_frame(input.decoder, frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
    if (received < 0) throw DecodeError();
    HandleDecoded(input, frame, index, data != nullptr);
    media::av_frame_unref(frame);
  }
}

// A video stream decoded on its own thread: the packet goes to the stage, and
// the pictures it has finished meanwhile go on here, in their order. At the end
// of the stream this waits for the last picture, unless a stop is overdue.
void InputDecoding::DecodeOnStage(InputStreamState& input, const AVPacket* data) {
  PacketPtr queued;
  if (data) {
    queued.reset(media::av_packet_alloc());
    if (!queued || media::av_packet_ref(queued.get(), data) < 0) throw EngineException("Out of memory");
  }
  FeedStage(*input.stage, queued, [&](std::chrono::milliseconds wait) { return TakeDecoded(input, wait); }, stop_);
}

bool InputDecoding::TakeDecoded(InputStreamState& input, std::chrono::milliseconds timeout) {
  auto output = input.stage->Receive(timeout);
  if (!output) return false;
  using Kind = DecodedPicture::Kind;
  if (output->kind == Kind::Error) throw DecodeError();
  if (output->kind == Kind::End) return false;
  HandleDecoded(input, output->picture.get(), output->indexInPacket, output->fromPacket);
  return true;
}

// A decoded frame: its time, then the video or audio outputs. indexInPacket
// counts the decoder's frames from 1 within their packet.
void InputDecoding::HandleDecoded(InputStreamState& input, AVFrame* decoded, int indexInPacket, bool fromPacket) {
  input.pts = clock_.DecodedTime(input, *decoded);
  std::int64_t duration = media::av_rescale_q(decoded->pkt_duration, input.stream->time_base, kMicroseconds);
  if (input.decoder->codec_type == AVMEDIA_TYPE_AUDIO && decoded->sample_rate > 0)
    duration = std::int64_t(decoded->nb_samples) * AV_TIME_BASE / decoded->sample_rate;
  else if (duration <= 0 && input.stream->avg_frame_rate.num)
    duration = std::int64_t(AV_TIME_BASE / av_q2d(input.stream->avg_frame_rate));
  input.nextPts = input.pts + duration;
  if (indexInPacket == 1) input.framesInPacket = 0;
  if (!clock_.KeepWithinInput(input, decoded)) return;
  if (input.decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
    if (++input.framesInPacket == 2 && fromPacket) LogMultipleFrames(input);
    pictures_.Add(input, decoded);
  } else {
    sink_.Samples(input, decoded);
  }
}

void InputDecoding::LogMultipleFrames(InputStreamState& input) {
  const int verbosity = run_.settings.verbosity;
  if (verbosity < 1 || (verbosity == 1 && input.multipleFramesLogged)) return;
  input.multipleFramesLogged = true;
  TMediaLogger::instance().LogFmt(&run_.task, llError, "Multiple frames in a packet from stream %d", input.index);
}

void InputDecoding::HandleSubtitle(InputStreamState& input, const AVPacket* data) {
  if (!data) return;
  AVSubtitle subtitle{};
  int got = 0;
  if (media::avcodec_decode_subtitle2(input.decoder, &subtitle, &got, const_cast<AVPacket*>(data)) < 0)
    throw DecodeError();
  if (!got) return;
  if (input.burnIn && data->pts != AV_NOPTS_VALUE) {
    inputs_.File(input.file).burnIn->Show(subtitle, media::av_rescale_q(data->pts, input.stream->time_base, kMicroseconds));
    return;
  }
  sink_.Subtitle(input, subtitle, data);
}
