// Input timestamps: offsets, scales and clock jumps, the limits of an input,
// decoded frames' times, and reading in real time.
#include "engine/run/InputClock.h"

#include <cmath>
#include <thread>

#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

InputClock::InputClock(RunContext& run) : run_(run) {}

bool InputClock::PastEnd(const InputStreamState& input, std::int64_t packetTime, std::int64_t recordingEnd) const {
  const std::int64_t end = std::min(recordingEnd, run_.inputFiles[size_t(input.file)].endTime);
  return end != INT64_MAX && packetTime != AV_NOPTS_VALUE &&
         media::av_compare_ts(packetTime, input.stream->time_base, end, kMicroseconds) >= 0;
}

bool InputClock::KeepWithinInput(const InputStreamState& input, AVFrame* decoded) const {
  const auto& file = run_.inputFiles[size_t(input.file)];
  if (input.nextPts <= file.beginTime) return false;
  if (file.endTime == INT64_MAX) return true;
  if (input.pts >= file.endTime) return false;
  if (input.decoder->codec_type != AVMEDIA_TYPE_AUDIO || decoded->sample_rate <= 0) return true;
  const std::int64_t samples = (file.endTime - input.pts) * decoded->sample_rate / AV_TIME_BASE;
  if (samples < decoded->nb_samples) decoded->nb_samples = int(samples);
  return decoded->nb_samples > 0;
}

void InputClock::AdjustTimestamps(InputStreamState& input, AVPacket* data) {
  auto& file = run_.inputFiles[size_t(input.file)];
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
void InputClock::FollowClockJump(InputStreamState& input, AVPacket* data) {
  auto& file = run_.inputFiles[size_t(input.file)];
  const auto& settings = run_.settings;
  const AVRational timeBase = input.stream->time_base;
  const AVFormatContext* context = run_.task.Input(input.file);
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
    TMediaLogger::instance().LogFmt(&run_.task, llVerbose, "timestamp discontinuity %d, new offset= %d", int(delta),
                                    int(file.tsOffset));
}

void InputClock::WaitForRealTime(const InputStreamState& input, std::int64_t packetTime,
                                 std::chrono::steady_clock::time_point started) const {
  if (packetTime == AV_NOPTS_VALUE) return;
  const auto due = started + std::chrono::microseconds(media::av_rescale_q(packetTime, input.stream->time_base, kMicroseconds));
  while (std::chrono::steady_clock::now() < due && !run_.task.StopRequested())
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Pictures follow each other by their durations; a picture's own stamp
// corrects the small drift of that count and marks a real gap or jump (more
// than one and a half pictures away). A stamp about one picture off is a
// misplaced one: program streams stamp only some pictures, and a stamp meant
// for the next picture or a decoding stamp of a reordered one lands there.
// Sound takes the decoder's best guess.
std::int64_t InputClock::DecodedTime(const InputStreamState& input, const AVFrame& decoded) const {
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
