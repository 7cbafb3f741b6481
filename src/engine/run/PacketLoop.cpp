// The packet loop: choosing the input to read, reading its packets, the
// recording end, and the end of each input.
#include <thread>

#include "dvd/DvdInput.h"
#include "engine/run/TranscodeRun.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

int TranscodeRun::ChooseInputFile() {
  const auto& settings = run_.settings;
  if (run_.joining) {
    for (const auto& output : outputs_.All())
      if (output.FrameLimitReached(settings)) return -2;
    return inputs_.File(currentFile_).eof ? -1 : currentFile_;
  }
  int chosen = -1;
  double smallest = 1e300;
  for (const auto& output : outputs_.All()) {
    if (output.source < 0) continue;
    const auto& input = inputs_.Stream(output.source);
    if (input.finished || inputs_.File(input.file).noPacketNow) continue;
    if (output.FrameLimitReached(settings)) return -2;
    if (inputs_.File(input.file).eof) continue;
    const double time = settings.inputSync ? double(input.pts) / AV_TIME_BASE : output.OutputSeconds();
    if (time < smallest) {
      smallest = time;
      chosen = input.file;
    }
  }
  return chosen;
}

void TranscodeRun::Loop() {
  const std::int64_t recordingEnd = run_.pending.recordingTime == INT64_MAX
                                        ? INT64_MAX
                                        : run_.pending.recordingTime + run_.outputFiles.front().startTime;
  while (true) {
    run_.task.WaitWhilePaused();
    if (stop_.Requested()) break;
    const int file = ChooseInputFile();
    if (file == -2) break;
    if (file < 0) {
      if (run_.joining || !inputs_.AnyParked()) break;
      inputs_.Unpark();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    AVFormatContext* first = run_.outputFiles.front().context;
    const std::int64_t sizeLimit = run_.settings.fileSizeLimit;
    if (sizeLimit && first->pb && media::avio_seek(first->pb, 0, SEEK_CUR) >= sizeLimit) break;
    if (!ReadPacket(file, recordingEnd)) break;
  }
}

bool TranscodeRun::ReadPacket(int file, std::int64_t recordingEnd) {
  AVFormatContext* context = run_.task.Input(file);
  AVPacket* packet = packet_.get();
  const int read = media::av_read_frame(context, packet);
  if (read == AVERROR(EAGAIN)) {
    inputs_.File(file).noPacketNow = true;
    return true;
  }
  if (read < 0) return !EndOfFile(file);
  progress_.NoteReading(file);
  inputs_.Unpark();
  if (run_.settings.dumpPackets)
    media::av_pkt_dump_log2(nullptr, AV_LOG_INFO, packet, run_.settings.hexDump, context->streams[packet->stream_index]);
  InputStreamState* stream = inputs_.PacketStream(file, packet->stream_index);
  if (!stream) stream = TakeLateSource(file, packet->stream_index);
  if (stream && stream->used) HandlePacket(*stream, recordingEnd);
  media::av_packet_unref(packet);
  return true;
}

// A stream of a DVD title converted whole that the demuxer adds while reading
// (a subtitle first shown late in the title) becomes the source of the output
// stream waiting for it.
InputStreamState* TranscodeRun::TakeLateSource(int file, int index) {
  const auto& opened = run_.inputFiles[size_t(file)];
  if (!opened.dvd || !opened.dvd->AllStreams() || index < 0 || index >= int(opened.context->nb_streams)) return nullptr;
  AVStream* stream = opened.context->streams[index];
  OutputStreamState* output = outputs_.WaitingFor(stream->id);
  if (!output || stream->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) return nullptr;
  opened.dvd->Describe(*stream);
  output->source = output->sync = inputs_.AddLateStream(file, index);
  if (run_.settings.verbosity > 0)
    TMediaLogger::instance().LogFmt(&run_.task, llInfo, "Subtitle stream #%d.%d appeared -> #%d.%d", file, index,
                                    output->file, output->index);
  return &inputs_.Stream(output->source);
}

// A packet of a stream some output reads: its time, the recording end, the
// burn-in's reading position, then decoding and copying.
void TranscodeRun::HandlePacket(InputStreamState& input, std::int64_t recordingEnd) {
  AVPacket* packet = packet_.get();
  clock_.AdjustTimestamps(input, packet);
  const std::int64_t packetTime = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
  if (clock_.PastEnd(input, packetTime, recordingEnd)) {
    input.finished = true;
    return;
  }
  auto& file = inputs_.File(input.file);
  if (file.burnIn && packetTime != AV_NOPTS_VALUE)
    file.lastReadUs = std::max(file.lastReadUs, media::av_rescale_q(packetTime, input.stream->time_base, kMicroseconds));
  if (run_.settings.rateEmulation) clock_.WaitForRealTime(input, packetTime, progress_.Started());
  decoding_.ProcessPacket(input, packet);
  if (progress_.Due()) progress_.Report(false);
}

bool TranscodeRun::EndOfFile(int file) {
  inputs_.File(file).eof = true;
  if (!run_.joining) return run_.settings.shortest;
  decoding_.FlushFile(file);
  if (file + 1 >= inputs_.FileCount()) return true;
  SwitchToNextFile(file + 1);
  return false;
}

void TranscodeRun::SwitchToNextFile(int next) {
  double reached = 0;
  for (const auto& output : outputs_.All()) reached = std::max(reached, output.OutputSeconds());
  auto& nextInput = run_.inputFiles[size_t(next)];
  const std::int64_t shift = std::int64_t(reached * AV_TIME_BASE);
  nextInput.tsOffset += shift;
  if (nextInput.beginTime != INT64_MIN) nextInput.beginTime += shift;
  if (nextInput.endTime != INT64_MAX) nextInput.endTime += shift;
  outputs_.FollowFile(next);
  inputs_.OpenDecoders();
  currentFile_ = next;
}
