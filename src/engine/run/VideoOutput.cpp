// Video output: frame-rate conversion by the sync method, held pictures, and
// encoding.
#include <cmath>

#include "engine/run/EncoderFeed.h"
#include "engine/run/ProgressReport.h"
#include "engine/run/VideoPath.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

VideoPath::VideoPath(RunContext& run, RunStop& stop, EncoderFeed& encoders, SyncCounts& counts)
    : run_(run), stop_(stop), encoders_(encoders), counts_(counts) {}

// The picture's distance from the output clock, in output frames, after
// following a jump of the source's clock: a distance of more than a few seconds
// is a damaged or restarted clock, not a gap to fill with copies of one picture.
double VideoPath::SyncDistance(OutputStreamState& output, InputStreamState& input, double frameTime) {
  const double delta = frameTime - output.clockShift - double(output.syncOpts);
  const double limit = kClockJumpSeconds / av_q2d(output.encoder->time_base);
  if (std::fabs(delta) <= limit) return delta;
  output.clockShift += delta;
  TMediaLogger::instance().LogFmt(&run_.task, llWarning,
                                  "Stream #%d.%d: time stamp jump of %.3f s at %.3f s, the picture follows on", input.file,
                                  input.index, delta * av_q2d(output.encoder->time_base), output.OutputSeconds());
  return 0;
}

// Output frame n (at n frame durations on the output's clock) shows the
// source picture on screen nearest its time: the last picture whose time is
// at most n + 0.5. So pictures are neither early nor late by more than half an
// output frame, whatever the source's rate or its variations; a constant-rate
// output repeats or skips pictures, a variable-rate one skips only.
void VideoPath::Out(OutputStreamState& output, InputStreamState& input, AVFrame* picture) {
  const double frameTime = double(input.pts) / AV_TIME_BASE / av_q2d(output.encoder->time_base);
  if (run_.settings.videoSyncMethod == 0) {
    output.syncOpts = std::lrint(frameTime);
    return EmitPicture(output, input, picture, 1);
  }
  const double time = double(output.syncOpts) + SyncDistance(output, input, frameTime);
  HeldPicture& held = output.held;
  if (held.picture) {
    ShowHeldPicture(output, input, time);
    held.interval = time - held.time;
  } else {
    held.picture.reset(media::av_frame_alloc());
    if (!held.picture) throw EngineException("Out of memory");
  }
  media::av_frame_unref(held.picture.get());
  if (media::av_frame_ref(held.picture.get(), picture) < 0) throw EngineException("Out of memory");
  held.time = time;
}

void VideoPath::ShowHeldPicture(OutputStreamState& output, InputStreamState& input, double until) {
  HeldPicture& held = output.held;
  const auto& settings = run_.settings;
  const int method = settings.videoSyncMethod;
  const bool variableRate =
      method == 2 || (method < 0 && (run_.outputFiles[size_t(output.file)].context->oformat->flags & AVFMT_VARIABLE_FPS));
  // A variable-rate output leaves no frame empty: the picture takes the frame nearest its time.
  if (variableRate) output.syncOpts = std::max(output.syncOpts, std::int64_t(std::ceil(held.time - 0.5)));
  int frames = 0;
  while (double(output.syncOpts + frames) < until - 0.5 && (frames == 0 || !variableRate)) ++frames;
  auto& logger = TMediaLogger::instance();
  if (frames == 0) {
    ++counts_.dropped;
    if (settings.verbosity > 2) logger.Log(&run_.task, llVerbose, "*** drop!");
  } else if (frames > 1) {
    counts_.duplicated += frames - 1;
    if (settings.verbosity > 2) logger.LogFmt(&run_.task, llVerbose, "*** %d dup!", frames - 1);
  }
  EmitPicture(output, input, held.picture.get(), frames);
}

void VideoPath::ShowLastPicture(OutputStreamState& output, InputStreamState& input) {
  HeldPicture& held = output.held;
  if (!held.picture || !held.picture->buf[0]) return;
  const double end = held.time + std::max(1.0, held.interval);
  // A single picture still makes a frame.
  ShowHeldPicture(output, input, output.frameNumber ? end : std::max(end, output.syncOpts + 1.0));
  media::av_frame_unref(held.picture.get());
}

void VideoPath::EmitPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture, int frames) {
  const std::int64_t remaining = run_.settings.maxFrames[0] - output.frameNumber;
  if (frames > remaining) frames = int(std::max<std::int64_t>(0, remaining));
  if (frames == 0) return;
  AVFrame* converted = ConvertPicture(output, input, picture);
  while (converted) {
    for (int i = 0; i < frames && !run_.task.StopRequested(); ++i) EncodeVideo(output, converted, input);
    if (!output.video.graph) break;
    // A graph may hand out more than one picture for one input picture.
    media::av_frame_unref(work_.get());
    converted = output.video.graph->Pull(work_.get()) >= 0 ? work_.get() : nullptr;
    frames = 1;
  }
}

void VideoPath::EncodeVideo(OutputStreamState& output, AVFrame* picture, InputStreamState& input) {
  AVCodecContext* encoder = output.encoder;
  picture->pts = output.syncOpts;
  picture->pict_type = AV_PICTURE_TYPE_NONE;
  if (encoder->flags & AV_CODEC_FLAG_QSCALE) picture->quality = encoder->global_quality;
  const int packetsBefore = output.packetsWritten;
  encoders_.Send(output, picture);
  ++output.syncOpts;
  ++output.frameNumber;
  if (run_.onPreview && output.packetsWritten > packetsBefore)
    run_.onPreview(picture, input.decodedVideoFrames, media::av_rescale_q(picture->pts, encoder->time_base, kMicroseconds));
}

void VideoPath::Flush(OutputStreamState& output, InputStreamState& input) {
  if (!stop_.Overdue()) ShowLastPicture(output, input);
  if (!output.video.graph || output.video.graph->PushEnd() < 0) return;
  AVFrame* work = work_.get();
  media::av_frame_unref(work);
  while (!stop_.Overdue() && output.video.graph->Pull(work) >= 0) {
    EncodeVideo(output, work, input);
    media::av_frame_unref(work);
  }
}
