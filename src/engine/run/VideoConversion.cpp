// Picture conversion for a video output: the fitting steps in a filter graph,
// or a plain scaler, into the encoder's size and pixel format.
#include "engine/run/VideoPath.h"
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

void VideoConverter::Free() {
  graph.reset();
  media::sws_freeContext(scaler);
  scaler = nullptr;
  media::av_frame_free(&scaled);
  inWidth = inHeight = 0;
  inFormat = -1;
}

void VideoPath::Prepare(OutputStreamState& output, const InputStreamState& input) {
  const AVCodecParameters* source = input.stream->codecpar;
  if (source->format == AV_PIX_FMT_NONE)
    throw EngineException("Video pixel format is unknown, stream cannot be encoded");
  AVCodecContext* encoder = output.encoder;
  // The encoder receives the upright picture.
  int width = source->width, height = source->height;
  AVRational pixelAspect = source->sample_aspect_ratio;
  input.upright.Apply(width, height, pixelAspect);
  if (input.upright.toneMap) TagAsBt709(*encoder);
  if (encoder->width <= 0 || encoder->height <= 0) {
    encoder->width = width;
    encoder->height = height;
  }
  if (NeedsFilterGraph(output, input)) {
    // The graph decides the picture the encoder receives.
    BuildFilterGraph(output, input, width, height, input.upright.OutputFormat(source->format), pixelAspect, false);
    encoder->width = output.video.graph->OutputWidth();
    encoder->height = output.video.graph->OutputHeight();
    const AVRational sar = output.video.graph->OutputPixelAspect();
    if (sar.num && !encoder->sample_aspect_ratio.num) encoder->sample_aspect_ratio = sar;
  }
  output.stream->sample_aspect_ratio = encoder->sample_aspect_ratio;
}

FittingSteps VideoPath::FittingOf(const OutputStreamState& output, const InputStreamState& input) const {
  const auto* setup = output.setup;
  return {.cropTop = setup->cropTop, .cropBottom = setup->cropBottom, .cropLeft = setup->cropLeft,
          .cropRight = setup->cropRight, .frameWidth = output.encoder->width, .frameHeight = output.encoder->height,
          .fitFilters = setup->videoFilters,
          .lateColour = input.upright.LateFilterText(),
          .pixelFormat = media::av_get_pix_fmt_name(output.encoder->pix_fmt),
          .scalerFlags = scalerFlags(run_.generic)};
}

// Asked for every picture without a graph, so it reads the fields FittingOf
// takes without building the steps' texts.
bool VideoPath::NeedsFilterGraph(const OutputStreamState& output, const InputStreamState& input) const {
  const auto* setup = output.setup;
  return setup->cropTop || setup->cropBottom || setup->cropLeft || setup->cropRight || !setup->videoFilters.empty() ||
         input.upright.TonesAfterFitting();
}

void VideoPath::BuildFilterGraph(OutputStreamState& output, const InputStreamState& input, int width, int height,
                                 int format, AVRational sar, bool rebuilt) {
  auto& video = output.video;
  video.Free();
  const std::string chain = FittingOf(output, input).FilterText(width, height, rebuilt);
  video.graph = std::make_unique<PictureFilterGraph>();
  const std::string error = video.graph->Build(width, height, format, sar, kMicroseconds, chain);
  if (!error.empty()) raiseFilterError(error);
  video.inWidth = width;
  video.inHeight = height;
  video.inFormat = format;
}

// The picture in the encoder's size and pixel format, or nullptr when the
// filter graph holds it back for now.
AVFrame* VideoPath::ConvertPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture) {
  auto& video = output.video;
  AVCodecContext* encoder = output.encoder;
  const bool changed = video.inWidth && (picture->width != video.inWidth || picture->height != video.inHeight ||
                                         picture->format != video.inFormat);
  if (changed)
    TMediaLogger::instance().LogFmt(&run_.task, llInfo, "Input Stream #%d.%d frame size changed to %dx%d, %s",
                                    input.file, input.index, picture->width, picture->height,
                                    media::av_get_pix_fmt_name(AVPixelFormat(picture->format)));
  if (video.graph || NeedsFilterGraph(output, input)) {
    if (!video.graph || changed)
      BuildFilterGraph(output, input, picture->width, picture->height, picture->format, picture->sample_aspect_ratio,
                       true);
    if (video.graph->Push(picture) < 0) throw EngineException("error cropping picture");
    media::av_frame_unref(work_.get());
    if (video.graph->Pull(work_.get()) < 0) return nullptr;
    return work_.get();
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
    run_.generic.ApplyTo(video.scaler);
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
