#include "picture/FilterGraph.h"

#include "media/MediaUtils.h"

PictureFilterGraph::~PictureFilterGraph() { Free(); }

void PictureFilterGraph::Free() {
  media::avfilter_graph_free(&graph_);
  source_ = sink_ = nullptr;
  width_ = height_ = 0;
  format_ = -1;
}

std::string PictureFilterGraph::Build(const AVFrame& picture, AVRational timeBase, const std::string& filters,
                                      AVRational frameRate) {
  return Build(picture.width, picture.height, picture.format, picture.sample_aspect_ratio, timeBase, filters,
               frameRate);
}

namespace {

// The first filter a chain names that the loaded libraries lack, or an empty
// text: the libraries' own parse error ("Invalid argument") does not say.
std::string MissingFilter(const std::string& chain) {
  size_t start = 0;
  while (start < chain.size()) {
    size_t end = chain.find_first_of(",;", start);
    if (end == std::string::npos) end = chain.size();
    std::string step = chain.substr(start, end - start);
    while (!step.empty() && (step[0] == ' ' || step[0] == '[')) {  // labels and blanks before the name
      const size_t skip = step[0] == '[' ? step.find(']') : 0;
      step.erase(0, skip == std::string::npos ? step.size() : skip + 1);
    }
    const std::string name = step.substr(0, step.find_first_of("=@[ "));
    const bool plainName = !name.empty() && name.find_first_not_of(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
    if (plainName && !media::avfilter_get_by_name(name.c_str())) return name;
    start = end + 1;
  }
  return {};
}

}  // namespace

std::string PictureFilterGraph::Build(int width, int height, int format, AVRational pixelAspect, AVRational timeBase,
                                      const std::string& filters, AVRational frameRate) {
  Free();
  graph_ = media::avfilter_graph_alloc();
  if (!graph_) return "not enough memory for a filter graph";
  const AVRational sar = pixelAspect.num > 0 && pixelAspect.den > 0 ? pixelAspect : AVRational{1, 1};
  std::string arguments = StringPrintf("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", width, height,
                                       format, timeBase.num, timeBase.den, sar.num, sar.den);
  if (frameRate.num > 0 && frameRate.den > 0) arguments += StringPrintf(":frame_rate=%d/%d", frameRate.num, frameRate.den);
  if (media::avfilter_graph_create_filter(&source_, media::avfilter_get_by_name("buffer"), "in", arguments.c_str(),
                                          nullptr, graph_) < 0 ||
      media::avfilter_graph_create_filter(&sink_, media::avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                          graph_) < 0) {
    Free();
    return "cannot create the buffer source or sink";
  }
  const std::string chain = filters.empty() ? "null" : filters;
  AVFilterInOut* inputs = media::avfilter_inout_alloc();
  AVFilterInOut* outputs = media::avfilter_inout_alloc();
  outputs->name = media::av_strdup("in");
  outputs->filter_ctx = source_;
  inputs->name = media::av_strdup("out");
  inputs->filter_ctx = sink_;
  int result = media::avfilter_graph_parse_ptr(graph_, chain.c_str(), &inputs, &outputs, nullptr);
  media::avfilter_inout_free(&inputs);
  media::avfilter_inout_free(&outputs);
  if (result >= 0) result = media::avfilter_graph_config(graph_, nullptr);
  if (result < 0) {
    Free();
    const std::string missing = MissingFilter(chain);
    if (!missing.empty()) return chain + ": the filter \"" + missing + "\" is not in the media libraries";
    return MediaErrorText(chain, result);
  }
  width_ = width;
  height_ = height;
  format_ = format;
  return {};
}

bool PictureFilterGraph::Fits(const AVFrame& picture) const {
  return graph_ && picture.width == width_ && picture.height == height_ && picture.format == format_;
}

int PictureFilterGraph::Push(AVFrame* picture) {
  return media::av_buffersrc_add_frame_flags(source_, picture, AV_BUFFERSRC_FLAG_KEEP_REF);
}

int PictureFilterGraph::PushEnd() { return media::av_buffersrc_add_frame_flags(source_, nullptr, 0); }

int PictureFilterGraph::Pull(AVFrame* out) { return media::av_buffersink_get_frame(sink_, out); }

int PictureFilterGraph::OutputWidth() const { return media::av_buffersink_get_w(sink_); }

int PictureFilterGraph::OutputHeight() const { return media::av_buffersink_get_h(sink_); }

AVRational PictureFilterGraph::OutputTimeBase() const { return media::av_buffersink_get_time_base(sink_); }

AVRational PictureFilterGraph::OutputPixelAspect() const { return media::av_buffersink_get_sample_aspect_ratio(sink_); }
