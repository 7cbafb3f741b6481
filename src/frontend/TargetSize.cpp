#include "frontend/TargetSize.h"

#include <algorithm>
#include <cctype>

#include "frontend/NumberTexts.h"
#include "frontend/SourcePicture.h"

namespace {

constexpr const char* kAsSource = "as source";
// The sizes the H.263 encoder takes as they are.
constexpr const char* kH263Sizes = "704x576,352x288,176x144,160x120,128x96";

int PartOrSource(const std::string& part, int sourceValue) {
  int value = 0;
  return IsInteger(part, &value) && value > 0 ? value : sourceValue;
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
  if (x == std::string::npos || x == 0 || x + 1 == sizeText.size())
    return ask("Warning", "Error output Video Size.Use the default size 320x240?") ? TTargetSize{320, 240}
                                                                                     : sourceSize;
  TTargetSize size{PartOrSource(sizeText.substr(0, x), source.Width),
                   PartOrSource(sizeText.substr(x + 1), source.Height)};
  if (IsH263(videoCodec) && std::string_view(kH263Sizes).find(sizeText) == std::string_view::npos)
    SnapToH263(size);
  return size;
}
