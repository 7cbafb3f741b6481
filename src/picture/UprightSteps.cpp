#include "picture/UprightSteps.h"

#include <utility>

namespace {

// Linear light with the HDR reference white (203 cd/m2, where BT.2408 puts
// it) at 1.0, the BT.709 primaries, highlights rolled off smoothly (mobius
// keeps everything below 0.9 of reference white linear, so greys and skin
// stay as they were, and reference white lands just under SDR white), then
// the BT.709 transfer and matrix.
constexpr const char* kToneMap =
    "zscale=t=linear:npl=203,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=mobius:param=0.9:desat=0,"
    "zscale=t=bt709:m=bt709:r=tv,format=yuv420p";

// A motion-adaptive deinterlacer that keeps the frame rate (one picture per
// frame, the field order from the picture).
constexpr const char* kDeinterlaceAll = "bwdif=mode=send_frame:parity=auto:deint=all";
// idet checks the first pictures flagged interlaced and, when they are
// progressive, clears the flag of the rest; bwdif then takes only those
// still flagged.
constexpr const char* kDeinterlaceInterlaced =
    "idet=analyze_interlaced_flag=8,bwdif=mode=send_frame:parity=auto:deint=interlaced";
// Field matching rebuilds each film picture from its two fields, bwdif takes
// what stays combed, decimation drops the one repeated picture in five.
constexpr const char* kInverseTelecine =
    "fieldmatch=order=auto:combmatch=full,bwdif=mode=send_frame:parity=auto:deint=interlaced,decimate";

}  // namespace

std::string UprightSteps::FilterText() const {
  std::string text;
  auto append = [&](const std::string& step) {
    if (!step.empty()) text += (text.empty() ? "" : ",") + step;
  };
  if (inverseTelecine) append(kInverseTelecine);
  else if (deinterlace == Deinterlacing::Always) append(kDeinterlaceAll);
  else if (deinterlace == Deinterlacing::Auto) append(kDeinterlaceInterlaced);
  append(orientation.FilterText());
  if (toneMap && !toneMapAfterFitting) append(kToneMap);
  return text;
}

std::string UprightSteps::LateFilterText() const { return TonesAfterFitting() ? kToneMap : ""; }

AVRational NominalFrameRate(const AVStream& stream) {
  if (stream.r_frame_rate.num > 0 && stream.r_frame_rate.den > 0) return stream.r_frame_rate;
  if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0) return stream.avg_frame_rate;
  return {0, 1};
}

bool IsHdrTransfer(AVColorTransferCharacteristic transfer) {
  return transfer == AVCOL_TRC_SMPTE2084 || transfer == AVCOL_TRC_ARIB_STD_B67;
}

UprightSteps UprightStepsOf(const AVStream& stream, Deinterlacing deinterlace) {
  if (deinterlace == Deinterlacing::Auto && stream.codecpar->field_order == AV_FIELD_PROGRESSIVE)
    deinterlace = Deinterlacing::Never;
  return {.deinterlace = deinterlace,
          .orientation = StreamOrientation(stream),
          .toneMap = IsHdrTransfer(stream.codecpar->color_trc)};
}

void TagAsBt709(AVCodecContext& encoder) {
  encoder.color_primaries = AVCOL_PRI_BT709;
  encoder.color_trc = AVCOL_TRC_BT709;
  encoder.colorspace = AVCOL_SPC_BT709;
  encoder.color_range = AVCOL_RANGE_MPEG;
}

void UprightSteps::Apply(int& width, int& height, AVRational& pixelAspect) const {
  pixelAspect = PixelAspect(pixelAspect);
  if (orientation.SwapsSides()) std::swap(width, height);
}

AVRational UprightSteps::PixelAspect(AVRational stored) const {
  if (orientation.SwapsSides() && stored.num > 0 && stored.den > 0) return {stored.den, stored.num};
  return stored;
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
