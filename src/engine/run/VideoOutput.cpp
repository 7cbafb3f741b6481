// Video output: frame-rate conversion by the sync method, picture conversion
// (filter graph or scaler), encoding.
#include <cmath>

#include "engine/run/TranscodeRun.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

int scalerFlags(const GenericOptions& generic) {
  const std::string flags = generic.Get(AVMEDIA_TYPE_UNKNOWN, "sws_flags");
  return flags.empty() ? SWS_BICUBIC : std::atoi(flags.c_str()) > 0 ? std::atoi(flags.c_str()) : SWS_BICUBIC;
}

void raiseFilterError(const std::string& reason) {
  throw EngineException(reason.empty() ? std::string("Error opening filters!") : "Error opening filters: " + reason);
}

}  // namespace

FittingSteps TranscodeRun::FittingOf(const OutputStreamState& output) const {
  const auto* setup = output.setup;
  return {.cropTop = setup->cropTop, .cropBottom = setup->cropBottom, .cropLeft = setup->cropLeft,
          .cropRight = setup->cropRight, .frameWidth = output.encoder->width, .frameHeight = output.encoder->height,
          .fitFilters = setup->videoFilters,
          .lateColour = inputStreams[size_t(output.source)].upright.LateFilterText(),
          .pixelFormat = media::av_get_pix_fmt_name(output.encoder->pix_fmt),
          .scalerFlags = scalerFlags(task.options_.generic)};
}

// Asked for every picture without a graph, so it reads the fields FittingOf
// takes without building the steps' texts.
bool TranscodeRun::NeedsFilterGraph(const OutputStreamState& output) const {
  const auto* setup = output.setup;
  return setup->cropTop || setup->cropBottom || setup->cropLeft || setup->cropRight || !setup->videoFilters.empty() ||
         inputStreams[size_t(output.source)].upright.TonesAfterFitting();
}

void TranscodeRun::BuildFilterGraph(OutputStreamState& output, int width, int height, int format, AVRational sar,
                                    bool rebuilt) {
  auto& video = output.video;
  video.Free();
  const std::string chain = FittingOf(output).FilterText(width, height, rebuilt);
  video.graph = std::make_unique<PictureFilterGraph>();
  const std::string error = video.graph->Build(width, height, format, sar, {1, AV_TIME_BASE}, chain);
  if (!error.empty()) raiseFilterError(error);
  video.inWidth = width;
  video.inHeight = height;
  video.inFormat = format;
}

// The picture in the encoder's size and pixel format, or nullptr when the
// filter graph holds it back for now.
AVFrame* TranscodeRun::ConvertPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture) {
  auto& video = output.video;
  AVCodecContext* encoder = output.encoder;
  const bool changed = video.inWidth && (picture->width != video.inWidth || picture->height != video.inHeight ||
                                         picture->format != video.inFormat);
  if (changed)
    TMediaLogger::instance().LogFmt(&task, llInfo, "Input Stream #%d.%d frame size changed to %dx%d, %s", input.file,
                                    input.index, picture->width, picture->height,
                                    media::av_get_pix_fmt_name(AVPixelFormat(picture->format)));
  if (video.graph || NeedsFilterGraph(output)) {
    if (!video.graph || changed)
      BuildFilterGraph(output, picture->width, picture->height, picture->format, picture->sample_aspect_ratio, true);
    if (video.graph->Push(picture) < 0) throw EngineException("error cropping picture");
    media::av_frame_unref(work);
    if (video.graph->Pull(work) < 0) return nullptr;
    return work;
  }
  if (picture->width == encoder->width && picture->height == encoder->height && picture->format == encoder->pix_fmt)
    return picture;
  if (!video.scaler || changed) {
    media::sws_freeContext(video.scaler);
    video.scaler = media::sws_alloc_context();
    media::av_opt_set_int(video.scaler, "srcw", picture->width, 0);
    media::av_opt_set_int(video.scaler, "srch", picture->height, 0);
    media::av_opt_set_int(video.scaler, "src_format", picture->format, 0);
    media::av_opt_set_int(video.scaler, "dstw", encoder->width, 0);
    media::av_opt_set_int(video.scaler, "dsth", encoder->height, 0);
    media::av_opt_set_int(video.scaler, "dst_format", encoder->pix_fmt, 0);
    media::av_opt_set_int(video.scaler, "sws_flags", SWS_BICUBIC, 0);
    task.options_.generic.ApplyTo(video.scaler);
    if (media::sws_init_context(video.scaler, nullptr, nullptr) < 0) throw EngineException("Cannot get resampling context");
    video.inWidth = picture->width;
    video.inHeight = picture->height;
    video.inFormat = picture->format;
  }
  if (!video.scaled) {
    video.scaled = media::av_frame_alloc();
    video.scaled->width = encoder->width;
    video.scaled->height = encoder->height;
    video.scaled->format = encoder->pix_fmt;
    if (media::av_frame_get_buffer(video.scaled, 0) < 0) throw EngineException("Cannot allocate temp picture, check pix fmt");
  }
  media::av_frame_make_writable(video.scaled);
  media::sws_scale(video.scaler, picture->data, picture->linesize, 0, picture->height, video.scaled->data,
                   video.scaled->linesize);
  return video.scaled;
}

// The picture's distance from the output clock, in output frames, after
// following a jump of the source's clock: a distance of more than a few seconds
// is a damaged or restarted clock, not a gap to fill with copies of one picture.
double TranscodeRun::SyncDistance(OutputStreamState& output, InputStreamState& input, double frameTime) {
  const double delta = frameTime - output.clockShift - double(output.syncOpts);
  const double limit = kClockJumpSeconds / av_q2d(output.encoder->time_base);
  if (std::fabs(delta) <= limit) return delta;
  output.clockShift += delta;
  TMediaLogger::instance().LogFmt(&task, llWarning,
                                  "Stream #%d.%d: time stamp jump of %.3f s at %.3f s, the picture follows on", input.file,
                                  input.index, delta * av_q2d(output.encoder->time_base), output.OutputSeconds());
  return 0;
}

// Output frame n (at n frame durations on the output's clock) shows the
// source picture on screen nearest its time: the last picture whose time is
// at most n + 0.5. So pictures are neither early nor late by more than half an
// output frame, whatever the source's rate or its variations; a constant-rate
// output repeats or skips pictures, a variable-rate one skips only.
void TranscodeRun::VideoOut(OutputStreamState& output, InputStreamState& input, AVFrame* picture) {
  const double frameTime = double(input.pts) / AV_TIME_BASE / av_q2d(output.encoder->time_base);
  if (settings.videoSyncMethod == 0) {
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

void TranscodeRun::ShowHeldPicture(OutputStreamState& output, InputStreamState& input, double until) {
  HeldPicture& held = output.held;
  const int method = settings.videoSyncMethod;
  const bool variableRate =
      method == 2 || (method < 0 && (task.outputs_[size_t(output.file)].context->oformat->flags & AVFMT_VARIABLE_FPS));
  // A variable-rate output leaves no frame empty: the picture takes the frame nearest its time.
  if (variableRate) output.syncOpts = std::max(output.syncOpts, std::int64_t(std::ceil(held.time - 0.5)));
  int frames = 0;
  while (double(output.syncOpts + frames) < until - 0.5 && (frames == 0 || !variableRate)) ++frames;
  auto& logger = TMediaLogger::instance();
  if (frames == 0) {
    ++framesDropped;
    if (settings.verbosity > 2) logger.Log(&task, llVerbose, "*** drop!");
  } else if (frames > 1) {
    framesDuplicated += frames - 1;
    if (settings.verbosity > 2) logger.LogFmt(&task, llVerbose, "*** %d dup!", frames - 1);
  }
  EmitPicture(output, input, held.picture.get(), frames);
}

void TranscodeRun::ShowLastPicture(OutputStreamState& output) {
  HeldPicture& held = output.held;
  if (!held.picture || !held.picture->buf[0]) return;
  const double end = held.time + std::max(1.0, held.interval);
  // A single picture still makes a frame.
  ShowHeldPicture(output, inputStreams[size_t(output.source)], output.frameNumber ? end : std::max(end, output.syncOpts + 1.0));
  media::av_frame_unref(held.picture.get());
}

void TranscodeRun::EmitPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture, int frames) {
  const std::int64_t remaining = settings.maxFrames[0] - output.frameNumber;
  if (frames > remaining) frames = int(std::max<std::int64_t>(0, remaining));
  if (frames == 0) return;
  AVFrame* converted = ConvertPicture(output, input, picture);
  while (converted) {
    for (int i = 0; i < frames && !task.StopRequested(); ++i) EncodeVideo(output, converted, input);
    if (!output.video.graph) break;
    // A graph may hand out more than one picture for one input picture.
    media::av_frame_unref(work);
    converted = output.video.graph->Pull(work) >= 0 ? work : nullptr;
    frames = 1;
  }
}

void TranscodeRun::EncodeVideo(OutputStreamState& output, AVFrame* picture, InputStreamState& input) {
  AVCodecContext* encoder = output.encoder;
  picture->pts = output.syncOpts;
  picture->pict_type = AV_PICTURE_TYPE_NONE;
  if (encoder->flags & AV_CODEC_FLAG_QSCALE) picture->quality = encoder->global_quality;
  const int packetsBefore = output.packetsWritten;
  SendToEncoder(output, picture);
  ++output.syncOpts;
  ++output.frameNumber;
  if (task.onPreview_ && output.packetsWritten > packetsBefore)
    task.onPreview_(picture, input.decodedVideoFrames, media::av_rescale_q(picture->pts, encoder->time_base, {1, AV_TIME_BASE}));
}
