#include "frontend/TargetSize.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "frontend/NumberTexts.h"
#include "frontend/ParameterLimits.h"
#include "frontend/SourcePicture.h"

namespace {

constexpr const char* kAsSource = "as source";
// The sizes the H.263 encoder takes as they are.
constexpr const char* kH263Sizes = "704x576,352x288,176x144,160x120,128x96";

// The stored part when it is a whole number above 0, else the source's. A
// stored part that no encoder takes refuses the size.
int PartOrSource(const std::string& part, int sourceValue) {
  using namespace parameter_limits;
  int value = 0;
  if (!IsInteger(part, &value) || value <= 0) return sourceValue;
  if (value < kMinFrameSide || value > kMaxFrameSide) throw std::invalid_argument(kFrameSizeInvalid);
  return value;
}

bool IsH263(std::string codec) {
  std::transform(codec.begin(), codec.end(), codec.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return codec == "h263";
}

// Widths up to 176 are kept; wider pictures take the next standard size.
void SnapToH263(TTargetSize& size) {
  if (size.Width > 176 && size.Width <= 352) size = {352, 288};
  if (size.Width > 352) size = {704, 576};
}

}  // namespace

TTargetSize ChooseTargetSize(const std::string& sizeText, const std::string& videoCodec,
                             const TSourcePicture& source, const AskQuestion& ask) {
  const TTargetSize sourceSize{source.Width, source.Height};
  if (sizeText == kAsSource) return sourceSize;
  const auto x = sizeText.find('x');
  if (x == std::string::npos || x == 0 || x + 1 == sizeText.size()) {
    if (!ask("Warning", "Error output Video Size.Use the default size 320x240?")) return sourceSize;
    // H.263 takes only its standard sizes, and 320x240 is none of them.
    TTargetSize fallback{320, 240};
    if (IsH263(videoCodec)) SnapToH263(fallback);
    return fallback;
  }
  TTargetSize size{PartOrSource(sizeText.substr(0, x), source.Width),
                   PartOrSource(sizeText.substr(x + 1), source.Height)};
  if (IsH263(videoCodec) && std::string_view(kH263Sizes).find(sizeText) == std::string_view::npos)
    SnapToH263(size);
  return size;
}
