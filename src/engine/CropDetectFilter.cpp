// One picture through buffer -> cropdetect -> buffersink, and the borders the
// filter reports in the picture's metadata.
#include "engine/CropDetectFilter.h"

#include <cstdlib>
#include <memory>

#include "engine/EngineException.h"
#include "engine/MediaHandles.h"
#include "engine/MediaUtils.h"

namespace {

// Limited-range black is 16 and its coding noise stays well below 24. Given as
// a share of the full scale the filter applies it at any bit depth; as a
// fraction rather than a decimal it does not depend on the locale.
constexpr const char* kBlackLimit = "24/255";

struct GraphFree {
  void operator()(AVFilterGraph* graph) const { media::avfilter_graph_free(&graph); }
};

[[noreturn]] void raiseGraphError(const std::string& step, int code) {
  throw EngineException(MediaErrorText("Border detection: " + step, code));
}

AVFilterContext* addFilter(AVFilterGraph* graph, const char* name, const std::string& arguments) {
  const AVFilter* filter = media::avfilter_get_by_name(name);
  if (!filter) throw EngineException(StringPrintf("Border detection: the %s filter is not available", name));
  AVFilterContext* context = nullptr;
  const int created = media::avfilter_graph_create_filter(&context, filter, name,
                                                          arguments.empty() ? nullptr : arguments.c_str(), nullptr, graph);
  if (created < 0) raiseGraphError(name, created);
  return context;
}

std::optional<int> metadataNumber(const AVFrame& frame, const char* key) {
  const AVDictionaryEntry* entry = media::av_dict_get(frame.metadata, key, nullptr, 0);
  if (!entry) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(entry->value, &end, 10);
  if (end == entry->value) return std::nullopt;
  return int(value);
}

// x1/y1 and x2/y2 are the first and last non-black column and row; a picture
// without any leaves them crossed (x1 > x2).
std::optional<BorderMargins> marginsOf(const AVFrame& filtered) {
  const auto x1 = metadataNumber(filtered, "lavfi.cropdetect.x1");
  const auto y1 = metadataNumber(filtered, "lavfi.cropdetect.y1");
  const auto x2 = metadataNumber(filtered, "lavfi.cropdetect.x2");
  const auto y2 = metadataNumber(filtered, "lavfi.cropdetect.y2");
  if (!x1 || !y1 || !x2 || !y2 || *x1 > *x2 || *y1 > *y2) return std::nullopt;
  return BorderMargins{.Top = *y1, .Left = *x1, .Bottom = filtered.height - 1 - *y2, .Right = filtered.width - 1 - *x2};
}

}  // namespace

// A graph of its own for each picture, so no sample carries over what the
// filter saw before; skip=0 makes it measure the very first picture.
std::optional<BorderMargins> CropDetectFrame(AVFrame* picture) {
  std::unique_ptr<AVFilterGraph, GraphFree> graph(media::avfilter_graph_alloc());
  FramePtr filtered(media::av_frame_alloc());
  if (!graph || !filtered) throw EngineException("Border detection: not enough memory");
  const AVRational sar = picture->sample_aspect_ratio;
  AVFilterContext* source = addFilter(graph.get(), "buffer",
                                      StringPrintf("video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=%d/%d",
                                                   picture->width, picture->height, picture->format, AV_TIME_BASE,
                                                   sar.num ? sar.num : 1, sar.num ? sar.den : 1));
  AVFilterContext* detect =
      addFilter(graph.get(), "cropdetect", StringPrintf("limit=%s:skip=0", kBlackLimit));
  AVFilterContext* sink = addFilter(graph.get(), "buffersink", "");
  int result = media::avfilter_link(source, 0, detect, 0);
  if (result >= 0) result = media::avfilter_link(detect, 0, sink, 0);
  if (result >= 0) result = media::avfilter_graph_config(graph.get(), nullptr);
  if (result < 0) raiseGraphError("cropdetect", result);
  result = media::av_buffersrc_add_frame_flags(source, picture, AV_BUFFERSRC_FLAG_KEEP_REF);
  if (result >= 0) result = media::av_buffersrc_add_frame_flags(source, nullptr, 0);
  if (result >= 0) result = media::av_buffersink_get_frame(sink, filtered.get());
  if (result < 0) raiseGraphError("cropdetect", result);
  return marginsOf(*filtered);
}
