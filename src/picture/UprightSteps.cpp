#include "picture/UprightSteps.h"

#include <utility>

std::string UprightSteps::FilterText() const {
  std::string text = deinterlace ? "yadif" : "";
  const std::string turn = orientation.FilterText();
  if (!turn.empty()) text += (text.empty() ? "" : ",") + turn;
  return text;
}

void UprightSteps::Apply(int& width, int& height, AVRational& pixelAspect) const {
  if (!orientation.SwapsSides()) return;
  std::swap(width, height);
  if (pixelAspect.num > 0 && pixelAspect.den > 0) std::swap(pixelAspect.num, pixelAspect.den);
}

Orientation StreamOrientation(const AVStream& stream) {
  size_t size = 0;
  const std::uint8_t* data = media::av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
  if (!data || size < 9 * sizeof(std::int32_t)) return {};
  const auto orientation = Orientation::FromDisplayMatrix(reinterpret_cast<const std::int32_t*>(data));
  if (orientation) return *orientation;
  media::av_log(nullptr, AV_LOG_WARNING, "Stream #%d: the display matrix is no quarter turn; the picture is shown as stored\n",
                stream.index);
  return {};
}
