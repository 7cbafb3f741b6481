#include "frontend/DvdTaskBuilder.h"

#include <numeric>

#include "dvd/OpenDvdString.h"
#include "engine/face/EngineRecords.h"
#include "frontend/CurrentFormats.h"
#include "frontend/FormatChoices.h"
#include "frontend/SourcePicture.h"
#include "frontend/TaskBuilder.h"

namespace {

constexpr std::uint8_t kWideDisplay = 3;  // the IFO's code for 16:9

}  // namespace

TSourcePicture DvdTitlePicture(const DvdTitleInfo& title) {
  TSourcePicture picture;
  picture.VideoStreamCount = 1;
  picture.Width = title.Width;
  picture.Height = title.Height;
  if (title.Width <= 0 || title.Height <= 0) return picture;
  const bool wide = title.DisplayAspect == kWideDisplay;
  // Pixel aspect = display aspect x height / width.
  const long long num = (wide ? 16LL : 4LL) * title.Height, den = (wide ? 9LL : 3LL) * title.Width;
  const long long divisor = std::gcd(num, den);
  picture.SampleAspectNum = int(num / divisor);
  picture.SampleAspectDen = int(den / divisor);
  return picture;
}

void BuildDvdTaskOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                         const DvdTitleInfo& title, TInputOptions& input, const AskQuestion& ask) {
  BuildTaskOptions(job, format, output, DvdTitlePicture(title), input, ask,
                   SourceRules{.discTargetCompletes = false, .sourceBitRateFallback = false});
  if (const auto* current = current_formats::TargetOf(format.Target())) {
    const OpenDvdExtras extras{.allStreams = current->wholeTitle, .chapters = current->chapters};
    input.FileName = WithTitleExtras(input.FileName, extras);
  }
}

std::string WithTitleExtras(const std::string& address, const OpenDvdExtras& extras) {
  std::string path;
  DvdParam param{};
  bool hasParameters = false;
  if (!ParseOpenDvdString(address, path, param, hasParameters) || !hasParameters) return address;
  return BuildOpenDvdString(path, param, extras);
}
