// One picture through buffer -> cropdetect -> buffersink, and the borders the
// filter reports in the picture's metadata.
#include "probe/CropDetectFilter.h"

#include <cstdlib>

#include "media/EngineException.h"
#include "media/MediaHandles.h"
#include "media/MediaUtils.h"
#include "picture/FilterGraph.h"

namespace {

// Limited-range black is 16 and its coding noise stays well below 24. Given as
// a share of the full scale the filter applies it at any bit depth; as a
// fraction rather than a decimal it does not depend on the locale.
constexpr const char* kBlackLimit = "24/255";

[[noreturn]] void raiseGraphError(const std::string& step, int code) {
  throw EngineException(MediaErrorText("Border detection: " + step, code));
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
// filter saw before; skip=0 makes it measure the very first picture. The
// picture is turned upright first, so the borders are the shown picture's.
std::optional<BorderMargins> CropDetectFrame(AVFrame* picture, const Orientation& orientation) {
  if (!media::avfilter_get_by_name("cropdetect"))
    throw EngineException("Border detection: the cropdetect filter is not available");
  FramePtr filtered(media::av_frame_alloc());
  if (!filtered) throw EngineException("Border detection: not enough memory");
  std::string filters = orientation.FilterText();
  filters += (filters.empty() ? "" : ",") + StringPrintf("cropdetect=limit=%s:skip=0", kBlackLimit);
  PictureFilterGraph graph;
  const std::string error = graph.Build(*picture, {1, AV_TIME_BASE}, filters);
  if (!error.empty()) throw EngineException("Border detection: " + error);
  int result = graph.Push(picture);
  if (result >= 0) result = graph.PushEnd();
  if (result >= 0) result = graph.Pull(filtered.get());
  if (result < 0) raiseGraphError("cropdetect", result);
  return marginsOf(*filtered);
}
