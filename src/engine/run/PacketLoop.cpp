// The packet loop: choosing the input to read, timestamps, limits, decoding and
// the end of each input.
#include <cmath>
#include <thread>

#include "dvd/DvdInput.h"
#include "engine/run/TranscodeRun.h"
#include "engine/setup/HookModules.h"
#include "media/EngineException.h"
#include "media/MediaHandles.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

constexpr AVRational kMicroseconds{1, AV_TIME_BASE};

}  // namespace

bool TranscodeRun::Stopping() {
  if (!task.StopRequested()) return false;
  if (stopSeen == Clock::time_point{}) stopSeen = Clock::now();
  return true;
}

bool TranscodeRun::StopOverdue() { return Stopping() && Clock::now() - stopSeen >= kStopGrace; }

bool TranscodeRun::FrameLimitReached(const OutputStreamState& output) const {
  const AVMediaType type = output.stream->codecpar->codec_type;
  const int limit = type == AVMEDIA_TYPE_VIDEO ? settings.maxFrames[0]
                    : type == AVMEDIA_TYPE_AUDIO ? settings.maxFrames[1]
                                                 : settings.maxFrames[2];
  return output.frameNumber >= limit;
}

// The input file to read next: -1 when none can be read now, -2 when a frame
// limit ends the run.
int TranscodeRun::ChooseInputFile() {
  if (task.joining_) {
    for (const auto& output : outputStreams)
      if (FrameLimitReached(output)) return -2;
    return inputFiles[size_t(currentFile)].eof ? -1 : currentFile;
  }
  int chosen = -1;
  double smallest = 1e300;
  for (const auto& output : outputStreams) {
    const auto& input = inputStreams[size_t(output.source)];
    if (input.finished || inputFiles[size_t(input.file)].noPacketNow) continue;
    if (FrameLimitReached(output)) return -2;
    if (inputFiles[size_t(input.file)].eof) continue;
    const double time = settings.inputSync ? double(input.pts) / AV_TIME_BASE : output.OutputSeconds();
    if (time < smallest) {
      smallest = time;
      chosen = input.file;
    }
  }
  return chosen;
}

void TranscodeRun::Loop() {
  const std::int64_t recordingEnd = pending.recordingTime == INT64_MAX
                                        ? INT64_MAX
                                        : pending.recordingTime + task.outputs_.front().startTime;
  while (true) {
    task.WaitWhilePaused();
    if (Stopping()) break;
    const int file = ChooseInputFile();
    if (file == -2) break;
    if (file < 0) {
      bool parked = false;
      for (auto& state : inputFiles) parked = parked || state.noPacketNow;
      if (task.joining_ || !parked) break;
      for (auto& state : inputFiles) state.noPacketNow = false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    AVFormatContext* first = task.outputs_.front().context;
    if (settings.fileSizeLimit && first->pb && media::avio_seek(first->pb, 0, SEEK_CUR) >= settings.fileSizeLimit) break;

    AVFormatContext* context = task.Input(file);
    const int read = media::av_read_frame(context, packet);
    if (read == AVERROR(EAGAIN)) {
      inputFiles[size_t(file)].noPacketNow = true;
      continue;
    }
    if (read < 0) {
      if (EndOfFile(file)) break;
      continue;
    }
    readingFile = file;
    for (auto& state : inputFiles) state.noPacketNow = false;
    if (settings.dumpPackets) media::av_pkt_dump_log2(nullptr, AV_LOG_INFO, packet, settings.hexDump,
                                                      context->streams[packet->stream_index]);
    InputStreamState* stream = PacketStream(file, packet->stream_index);
    if (!stream || !stream->used) {
      media::av_packet_unref(packet);
      continue;
    }
    auto& input = *stream;
    AdjustTimestamps(input, packet);
    const std::int64_t packetTime = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (PastEnd(input, packetTime, recordingEnd)) {
      input.finished = true;
      media::av_packet_unref(packet);
      continue;
    }
    if (inputFiles[size_t(file)].burnIn && packetTime != AV_NOPTS_VALUE)
      inputFiles[size_t(file)].lastReadUs = std::max(inputFiles[size_t(file)].lastReadUs,
                                                     media::av_rescale_q(packetTime, input.stream->time_base, kMicroseconds));
    if (settings.rateEmulation) WaitForRealTime(input, packetTime);
    ProcessPacket(input, packet);
    media::av_packet_unref(packet);
    if (Clock::now() - lastReport >= std::chrono::microseconds(task.progressInterval_)) Report(false);
  }
}

// The record of a packet's stream; nullptr for a stream the demuxer added
// after the file was opened, unless it is the chosen DVD subpicture stream.
InputStreamState* TranscodeRun::PacketStream(int file, int index) {
  const auto& state = inputFiles[size_t(file)];
  if (index < state.streamCount) return &inputStreams[size_t(state.firstStream + index)];
  if (state.lateBurnIn >= 0 && inputStreams[size_t(state.lateBurnIn)].index == index)
    return &inputStreams[size_t(state.lateBurnIn)];
  return TakeLateBurnIn(file, index);
}

// A DVD subpicture stream first seen while reading (its first subtitle comes
// late in the title): when it is the chosen one, it gets a record and a
// decoder and feeds the burn-in; it is no output's source.
InputStreamState* TranscodeRun::TakeLateBurnIn(int file, int index) {
  auto& state = inputFiles[size_t(file)];
  auto& opened = task.inputs_[size_t(file)];
  if (!state.burnIn || !opened.dvd || !opened.dvd->TakeLateSubtitle(opened.context, index)) return nullptr;
  opened.burnInStream = index;
  InputStreamState late;
  late.file = file;
  late.index = index;
  late.stream = opened.context->streams[index];
  late.burnIn = late.used = late.decodingNeeded = true;
  inputStreams.push_back(std::move(late));
  state.lateBurnIn = int(inputStreams.size()) - 1;
  OpenDecoders();
  if (settings.verbosity > 0)
    TMediaLogger::instance().LogFmt(&task, llInfo, "Subtitle stream #%d.%d appeared, burned into the picture", file, index);
  return &inputStreams.back();
}

// Whether a packet lies at or past the recording end or the end of its input.
bool TranscodeRun::PastEnd(const InputStreamState& input, std::int64_t packetTime, std::int64_t recordingEnd) const {
  const std::int64_t end = std::min(recordingEnd, task.inputs_[size_t(input.file)].endTime);
  return end != INT64_MAX && packetTime != AV_NOPTS_VALUE &&
         media::av_compare_ts(packetTime, input.stream->time_base, end, kMicroseconds) >= 0;
}

// An input with limits (a DVD chapter range, whose stream holds sound of the
// chapters around it) uses only what lies within them: a frame that ends
// before the beginning or starts at the end is left out, sound is cut at the
// end. False when nothing of the frame is left.
bool TranscodeRun::KeepWithinInput(const InputStreamState& input, AVFrame* decoded) const {
  const auto& file = task.inputs_[size_t(input.file)];
  if (input.nextPts <= file.beginTime) return false;
  if (file.endTime == INT64_MAX) return true;
  if (input.pts >= file.endTime) return false;
  if (input.decoder->codec_type != AVMEDIA_TYPE_AUDIO || decoded->sample_rate <= 0) return true;
  const std::int64_t samples = (file.endTime - input.pts) * decoded->sample_rate / AV_TIME_BASE;
  if (samples < decoded->nb_samples) decoded->nb_samples = int(samples);
  return decoded->nb_samples > 0;
}

void TranscodeRun::AdjustTimestamps(InputStreamState& input, AVPacket* data) {
  auto& file = task.inputs_[size_t(input.file)];
  const AVRational timeBase = input.stream->time_base;
  const std::int64_t offset = media::av_rescale_q(file.tsOffset, kMicroseconds, timeBase);
  if (data->dts != AV_NOPTS_VALUE) data->dts += offset;
  if (data->pts != AV_NOPTS_VALUE) data->pts += offset;
  const double scale = input.index < kMaxStreams ? file.tsScale[size_t(input.index)] : 0;
  if (scale > 0) {
    if (data->dts != AV_NOPTS_VALUE) data->dts = std::llround(data->dts * scale);
    if (data->pts != AV_NOPTS_VALUE) data->pts = std::llround(data->pts * scale);
  }
  FollowClockJump(input, data);
  if (input.stage && data->dts != AV_NOPTS_VALUE)
    input.readEnd = media::av_rescale_q(data->dts + data->duration, timeBase, kMicroseconds);
}

// Formats whose clocks may jump (MPEG streams): follow the jump so the output stays continuous.
void TranscodeRun::FollowClockJump(InputStreamState& input, AVPacket* data) {
  auto& file = task.inputs_[size_t(input.file)];
  const AVRational timeBase = input.stream->time_base;
  const AVFormatContext* context = task.Input(input.file);
  const std::int64_t expected = input.stage ? input.readEnd : input.nextPts;
  if (data->dts == AV_NOPTS_VALUE || expected == AV_NOPTS_VALUE || settings.copyTimestamps ||
      !(context->iformat->flags & AVFMT_TS_DISCONT))
    return;
  const std::int64_t dts = media::av_rescale_q(data->dts, timeBase, kMicroseconds);
  const std::int64_t delta = dts - expected;
  const std::int64_t threshold = file.discontinuityThreshold >= 0 ? file.discontinuityThreshold
                                                                  : std::int64_t(settings.dtsDeltaThreshold * AV_TIME_BASE);
  if (std::llabs(delta) <= threshold) return;
  file.tsOffset -= delta;
  const std::int64_t shift = media::av_rescale_q(delta, kMicroseconds, timeBase);
  data->dts -= shift;
  if (data->pts != AV_NOPTS_VALUE) data->pts -= shift;
  if (settings.verbosity >= 3)
    TMediaLogger::instance().LogFmt(&task, llVerbose, "timestamp discontinuity %d, new offset= %d", int(delta),
                                    int(file.tsOffset));
}

void TranscodeRun::WaitForRealTime(const InputStreamState& input, std::int64_t packetTime) {
  if (packetTime == AV_NOPTS_VALUE) return;
  const auto due = started + std::chrono::microseconds(media::av_rescale_q(packetTime, input.stream->time_base, kMicroseconds));
  while (Clock::now() < due && !task.StopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void TranscodeRun::ProcessPacket(InputStreamState& input, AVPacket* data) {
  try {
    if (input.decodingNeeded) {
      if (input.stream->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) HandleSubtitle(input, data);
      else Decode(input, data);
    }
  } catch (const DecodeError&) {
    const std::string message = StringPrintf("Error while decoding stream #%d.%d (%s)", input.file, input.index,
                                             media::avcodec_get_name(input.stream->codecpar->codec_id));
    if (settings.exitOnError) throw EngineException(message);
    if (settings.verbosity >= 0) TMediaLogger::instance().Log(&task, llVerbose, message);
  }
  if (!data) return;
  for (auto& output : outputStreams)
    if (!output.encoder && &inputStreams[size_t(output.source)] == &input) CopyPacket(input, output, data);
  if (!input.decodingNeeded && data->dts != AV_NOPTS_VALUE) {
    input.pts = media::av_rescale_q(data->dts, input.stream->time_base, kMicroseconds);
    input.nextPts = input.pts + media::av_rescale_q(data->duration, input.stream->time_base, kMicroseconds);
  }
}

void TranscodeRun::Decode(InputStreamState& input, const AVPacket* data) {
  if (input.stage) {
    DecodeOnStage(input, data);
    return;
  }
  if (media::avcodec_send_packet(input.decoder, data) < 0 && data) throw DecodeError();
  // Without a packet the decoder hands out what it holds, unless a stop is overdue.
  for (int index = 1; data || !StopOverdue(); ++index) {
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
void TranscodeRun::DecodeOnStage(InputStreamState& input, const AVPacket* data) {
  PacketPtr queued;
  if (data) {
    queued.reset(media::av_packet_alloc());
    if (!queued || media::av_packet_ref(queued.get(), data) < 0) throw EngineException("Out of memory");
  }
  FeedStage(*input.stage, queued, [&](std::chrono::milliseconds wait) { return TakeDecoded(input, wait); });
}

// Handles the stage's next output if one comes within timeout; false when none did.
bool TranscodeRun::TakeDecoded(InputStreamState& input, std::chrono::milliseconds timeout) {
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
void TranscodeRun::HandleDecoded(InputStreamState& input, AVFrame* decoded, int indexInPacket, bool fromPacket) {
  input.pts = DecodedTime(input, *decoded);
  std::int64_t duration = media::av_rescale_q(decoded->pkt_duration, input.stream->time_base, kMicroseconds);
  if (input.decoder->codec_type == AVMEDIA_TYPE_AUDIO && decoded->sample_rate > 0)
    duration = std::int64_t(decoded->nb_samples) * AV_TIME_BASE / decoded->sample_rate;
  else if (duration <= 0 && input.stream->avg_frame_rate.num)
    duration = std::int64_t(AV_TIME_BASE / av_q2d(input.stream->avg_frame_rate));
  input.nextPts = input.pts + duration;
  if (indexInPacket == 1) input.framesInPacket = 0;
  if (!KeepWithinInput(input, decoded)) return;
  if (input.decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
    if (++input.framesInPacket == 2 && fromPacket) LogMultipleFrames(input);
    HandleVideoFrame(input, decoded);
  } else {
    HandleAudioFrame(input, decoded);
  }
}

// A decoded frame's time in microseconds. Pictures follow each other by
// their durations; a picture's own stamp corrects the small drift of that
// count and marks a real gap or jump (more than one and a half pictures
// away). A stamp about one picture off is a misplaced one: program streams
// stamp only some pictures, and a stamp meant for the next picture or a
// decoding stamp of a reordered one lands there. Sound takes the decoder's
// best guess.
std::int64_t TranscodeRun::DecodedTime(const InputStreamState& input, const AVFrame& decoded) const {
  const bool video = input.decoder->codec_type == AVMEDIA_TYPE_VIDEO;
  const std::int64_t stamp = video && decoded.pts != AV_NOPTS_VALUE ? decoded.pts : decoded.best_effort_timestamp;
  const std::int64_t own = stamp == AV_NOPTS_VALUE ? AV_NOPTS_VALUE
                                                   : media::av_rescale_q(stamp, input.stream->time_base, kMicroseconds);
  if (video && input.nextPts != AV_NOPTS_VALUE) {
    if (own == AV_NOPTS_VALUE) return input.nextPts;
    const double distance = std::fabs(double(own - input.nextPts));
    const double duration = double(std::max<std::int64_t>(1, input.nextPts - input.pts));
    return distance < 0.5 * duration || distance > 1.5 * duration ? own : input.nextPts;
  }
  return own != AV_NOPTS_VALUE ? own : input.nextPts != AV_NOPTS_VALUE ? input.nextPts : input.pts;
}

void TranscodeRun::LogMultipleFrames(InputStreamState& input) {
  if (settings.verbosity < 1 || (settings.verbosity == 1 && input.multipleFramesLogged)) return;
  input.multipleFramesLogged = true;
  TMediaLogger::instance().LogFmt(&task, llError, "Multiple frames in a packet from stream %d", input.index);
}

// How far past a picture the file is read before the picture goes on when
// subpictures are burned in.
constexpr std::int64_t kBurnInLookahead = 1000000;  // microseconds

// A decoded picture goes through the stream's upright steps first; the frame
// hook and the burn-in draw on what they give.
void TranscodeRun::HandleVideoFrame(InputStreamState& input, AVFrame* picture) {
  picture->pts = input.pts;
  if (input.upright.Empty()) return HandleUprightFrame(input, picture);
  if (input.telecineCheck) {
    if (input.telecineCheck->Add(*picture)) EndTelecineCheck(input);
    return;
  }
  PushUpright(input, picture);
}

// The check's answer picks the upright steps; the pictures it held go on.
void TranscodeRun::EndTelecineCheck(InputStreamState& input) {
  const std::vector<FramePtr> held = input.telecineCheck->Decide(input.upright);
  input.telecineCheck.reset();
  if (input.upright.inverseTelecine)
    TMediaLogger::instance().LogFmt(&task, llInfo, "Stream %d is telecined film: inverse telecine", input.index);
  for (const FramePtr& picture : held) PushUpright(input, picture.get());
}

void TranscodeRun::PushUpright(InputStreamState& input, AVFrame* picture) {
  PictureFilterGraph& graph = *input.uprightGraph;
  if (!graph.Fits(*picture)) {
    const std::string error = graph.Build(*picture, {1, AV_TIME_BASE}, input.upright.FilterText(),
                                          NominalFrameRate(*input.stream));
    if (!error.empty()) throw EngineException("Error opening filters: " + error);
  }
  if (graph.Push(picture) < 0) throw EngineException("error cropping picture");
  DrainUpright(input);
}

void TranscodeRun::DrainUpright(InputStreamState& input) {
  if (!input.uprightPicture) input.uprightPicture.reset(media::av_frame_alloc());
  AVFrame* upright = input.uprightPicture.get();
  if (!upright) throw EngineException("Out of memory");
  const AVRational timeBase = input.uprightGraph->OutputTimeBase();
  while (input.uprightGraph->Pull(upright) >= 0) {
    upright->pts = media::av_rescale_q(upright->pts, timeBase, {1, AV_TIME_BASE});
    input.pts = upright->pts;
    HandleUprightFrame(input, upright);
    media::av_frame_unref(upright);
  }
}

// The end of a stream lets the upright steps give the pictures they hold back.
void TranscodeRun::FlushUpright(InputStreamState& input) {
  if (input.telecineCheck) EndTelecineCheck(input);
  if (!input.uprightGraph || !input.uprightGraph->Built()) return;
  if (input.uprightGraph->PushEnd() >= 0) DrainUpright(input);
  input.uprightGraph->Free();
}

void TranscodeRun::HandleUprightFrame(InputStreamState& input, AVFrame* picture) {
  auto& file = inputFiles[size_t(input.file)];
  if (!file.burnIn) {
    ProcessVideoFrame(input, picture);
    return;
  }
  AVFrame* copy = media::av_frame_clone(picture);
  if (!copy) throw EngineException("Out of memory");
  file.delayed.emplace_back(&input, copy);
  ReleaseDelayedPictures(file, false);
}

void TranscodeRun::ReleaseDelayedPictures(InputFileState& file, bool all) {
  // Pictures left over when a stop is overdue are freed with the run.
  while (!file.delayed.empty() && !(all && StopOverdue()) &&
         (all || (file.lastReadUs != INT64_MIN && file.delayed.front().second->pts + kBurnInLookahead <= file.lastReadUs))) {
    auto [input, picture] = file.delayed.front();
    file.delayed.pop_front();
    input->pts = picture->pts;
    file.burnIn->Draw(picture, picture->pts);
    ProcessVideoFrame(*input, picture);
    media::av_frame_free(&picture);
  }
}

void TranscodeRun::ProcessVideoFrame(InputStreamState& input, AVFrame* picture) {
  ++input.decodedVideoFrames;
  // The component's hook makes the frame writable itself, only when it writes to it.
  if (task.onFrameHook_ && !task.onFrameHook_(picture, input.decodedVideoFrames, input.pts)) task.onFrameHook_ = nullptr;
  if (!task.hookModules_->Empty()) {
    if (media::av_frame_make_writable(picture) < 0) throw EngineException("hook buf malloc error.");
    task.hookModules_->Process(picture, input.pts);
  }
  for (auto& output : outputStreams) {
    if (!output.encoder || &inputStreams[size_t(output.source)] != &input) continue;
    if (input.pts < task.outputs_[size_t(output.file)].startTime) continue;
    VideoOut(output, input, picture);
  }
}

void TranscodeRun::HandleAudioFrame(InputStreamState& input, AVFrame* samples) {
  for (auto& output : outputStreams) {
    if (!output.encoder || &inputStreams[size_t(output.source)] != &input) continue;
    if (input.pts < task.outputs_[size_t(output.file)].startTime) continue;
    AudioOut(output, input, samples);
  }
}

// Returns true when the loop ends.
bool TranscodeRun::EndOfFile(int file) {
  inputFiles[size_t(file)].eof = true;
  if (!task.joining_) return settings.shortest;
  for (auto& input : inputStreams)
    if (input.file == file && input.decodingNeeded && !input.decoderFlushed) {
      ProcessPacket(input, nullptr);
      FlushUpright(input);
      input.decoderFlushed = true;
    }
  if (file + 1 >= int(inputFiles.size())) return true;
  SwitchToNextFile(file + 1);
  return false;
}

// Joining: the next input continues where the outputs stand, through the same encoders.
void TranscodeRun::SwitchToNextFile(int next) {
  double reached = 0;
  for (const auto& output : outputStreams) reached = std::max(reached, output.OutputSeconds());
  auto& nextInput = task.inputs_[size_t(next)];
  const std::int64_t shift = std::int64_t(reached * AV_TIME_BASE);
  nextInput.tsOffset += shift;
  if (nextInput.beginTime != INT64_MIN) nextInput.beginTime += shift;
  if (nextInput.endTime != INT64_MAX) nextInput.endTime += shift;
  for (auto& output : outputStreams) {
    const AVMediaType kind = inputStreams[size_t(output.source)].stream->codecpar->codec_type;
    const int source = ChooseInputStream(kind, next);
    if (source < 0) continue;
    output.source = output.sync = source;
    auto& input = inputStreams[size_t(source)];
    input.used = true;
    input.decodingNeeded = output.encoder != nullptr;
  }
  OpenDecoders();
  currentFile = next;
}

void TranscodeRun::FlushDecoders() {
  for (auto& input : inputStreams) {
    if (!input.decodingNeeded || input.decoderFlushed || !input.decoder) continue;
    input.decoderFlushed = true;
    if (input.stream->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) continue;
    ProcessPacket(input, nullptr);
    FlushUpright(input);
  }
}

void TranscodeRun::FlushEncoders() {
  for (auto& output : outputStreams) {
    if (!output.encoder || output.flushed) continue;
    output.flushed = true;
    if (output.encoder->codec_type == AVMEDIA_TYPE_VIDEO && !StopOverdue()) ShowLastPicture(output);
    if (output.encoder->codec_type == AVMEDIA_TYPE_VIDEO && output.video.graph && output.video.graph->PushEnd() >= 0) {
      auto& input = inputStreams[size_t(output.source)];
      media::av_frame_unref(work);
      while (!StopOverdue() && output.video.graph->Pull(work) >= 0) {
        EncodeVideo(output, work, input);
        media::av_frame_unref(work);
      }
    }
    if (output.encoder->codec_type == AVMEDIA_TYPE_AUDIO && output.audio.resampler) {
      AudioOut(output, inputStreams[size_t(output.source)], nullptr);
      EncodeAudioFromFifo(output, true);
    }
    if (output.encoder->codec_type != AVMEDIA_TYPE_SUBTITLE) SendToEncoder(output, nullptr);
  }
}

void TranscodeRun::Finish() {
  FlushDecoders();
  for (auto& file : inputFiles)
    if (file.burnIn) ReleaseDelayedPictures(file, true);
  FlushEncoders();
  // The end of the file (an MP4's index) is checked like every other write:
  // without it the file cannot be played.
  for (int o = 0; o < task.OutputCount(); ++o) {
    if (!headerWritten[size_t(o)]) continue;
    const auto& output = task.outputs_[size_t(o)];
    const int ended = media::av_write_trailer(output.context);
    output.CheckWrite(ended, MediaErrorText(output.name, ended));
  }
  Report(true);
  DiscardEmptyOutputs();
}

// A file without a single packet has no track a player could show: it is
// removed, and unless the user stopped the run, that is a failure.
void TranscodeRun::DiscardEmptyOutputs() {
  bool empty = false;
  for (int o = 0; o < task.OutputCount(); ++o) {
    if (packetsMuxed[size_t(o)] > 0) continue;
    task.outputs_[size_t(o)].discard = true;
    empty = true;
  }
  if (empty && !task.StopRequested()) throw EngineException("Output file is empty, nothing was encoded");
}

void TCustomEngineTask::Transcode() {
  if (outputs_.empty()) throw EngineException("At least one output file must be specified");
  if (inputs_.empty()) throw EngineException("At least one input file must be specified");
  {
    TranscodeRun run(*this);
    run.Setup();
    run.Loop();
    // A source that changed under the run was not read whole.
    if (!StopRequested()) CheckSourcesUnchanged();
    run.Finish();
  }
  PublishOutputs();
}
