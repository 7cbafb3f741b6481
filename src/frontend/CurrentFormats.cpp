#include "frontend/CurrentFormats.h"

#include <algorithm>
#include <string>

#include "engine/face/EngineRecords.h"
#include "frontend/FormatList.h"
#include "frontend/SourcePicture.h"

namespace fc = format_catalogue;

namespace current_formats {
namespace {

void AppendLines(std::string& options, const char* lines) {
  if (!lines) return;
  options += (options.empty() ? "" : "\n") + std::string(lines);
}

// Rounded down to an even number, as the encoders' 4:2:0 pictures need.
int EvenAtLeastTwo(long double value) { return std::max(2, int(value / 2) * 2); }

}  // namespace

const fc::CurrentTarget* TargetOf(const std::string& catalogueFormat) {
  return fc::CurrentTargetNamed(fc::LowerCase(catalogueFormat));
}

TTargetSize AsSourceSize(const fc::CurrentTarget& target, const TSourcePicture& source) {
  if (source.Width <= 0 || source.Height <= 0) return {source.Width, source.Height};
  const long double width = source.DisplayWidth(source.Width), height = source.Height;
  long double scale = 1;
  if (target.maxWidth > 0 && target.maxHeight > 0)
    scale = std::min({1.0L, target.maxWidth / width, target.maxHeight / height});
  return {EvenAtLeastTwo(width * scale + 0.5L), EvenAtLeastTwo(height * scale + 0.5L)};
}

std::string CappedFrameRate(const TSourcePicture& source) {
  if (source.FrameRateNum <= 0 || source.FrameRateDen <= 0) return {};
  if (source.FrameRateNum <= static_cast<long long>(fc::kMaxSourceFrameRate) * source.FrameRateDen) return {};
  return std::to_string(fc::kMaxSourceFrameRate);
}

void ApplyTarget(const fc::CurrentTarget& target, const fc::EncoderRow* videoEncoder, TOutputOptions& output) {
  output.FileFormat = target.muxer;
  AppendLines(output.ExtOptions, target.options);
  if (target.keepsSurround) AppendLines(output.ExtOptions, "keepsurround=1");
  if (target.wholeTitle) AppendLines(output.ExtOptions, "everystream=1");
  // Other targets carry no subtitle track: a picture subtitle cannot become
  // the text tracks MP4 and WebM players show (a DVD job burns its choice in).
  else output.DisableSubtitle = true;
  if (!videoEncoder || output.DisableVideo) return;
  AppendLines(output.ExtOptions, videoEncoder->currentOptions);
  if (videoEncoder->mp4Tag && std::string(target.muxer) == "mp4") output.VideoTag = videoEncoder->mp4Tag;
}

}  // namespace current_formats
