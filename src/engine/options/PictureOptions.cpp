// Picture options: size, rate, shape, pixel and sample formats, the
// deprecated crop and pad options.
#include "engine/options/OptionParsers.h"
#include "engine/options/OptionVocabulary.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

using namespace option_parsers;

const char* const kVerticalCrop =
    "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.";
const char* const kHorizontalCrop =
    "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.";

struct CropSide {
  const char* name;
  int PendingFileSettings::*amount;
  bool vertical;
};
constexpr CropSide kCropSides[] = {
    {"croptop", &PendingFileSettings::cropTop, true},
    {"cropbottom", &PendingFileSettings::cropBottom, true},
    {"cropleft", &PendingFileSettings::cropLeft, false},
    {"cropright", &PendingFileSettings::cropRight, false},
};

// The amount is checked against and taken off the frame size as it stands,
// so crop first and scale second.
void crop(const OptionCall& call, const CropSide& side) {
  const int amount = Integer(call.value);
  if (amount <= 0) return;
  call.Log(llWarning, "CropXXX is deprecated in favor of the crop avfilter");
  auto& pending = call.options.pending;
  int& extent = side.vertical ? pending.frameHeight : pending.frameWidth;
  if (amount >= extent) throw EngineException(side.vertical ? kVerticalCrop : kHorizontalCrop);
  pending.*side.amount = amount;
  extent -= amount;
}

void frameSize(const OptionCall& call) {
  int width = 0, height = 0;
  if (media::av_parse_video_size(&width, &height, call.value.c_str()) < 0)
    throw EngineException("Incorrect frame size");
  call.options.pending.frameWidth = width;
  call.options.pending.frameHeight = height;
}

void frameRate(const OptionCall& call) {
  AVRational rate{0, 0};
  if (media::av_parse_video_rate(&rate, call.value.c_str()) < 0) throw EngineException("Incorrect frame rate");
  call.options.pending.frameRate = rate;
}

void pixelFormat(const OptionCall& call) {
  if (call.value == "list") {
    for (const AVPixFmtDescriptor* d = media::av_pix_fmt_desc_next(nullptr); d; d = media::av_pix_fmt_desc_next(d))
      call.Log(llInfo, d->name);
    return;
  }
  const AVPixelFormat format = media::av_get_pix_fmt(call.value.c_str());
  if (format == AV_PIX_FMT_NONE)
    throw EngineException(StringPrintf("Unknown pixel format requested: %s", call.value.c_str()));
  call.options.pending.pixelFormat = format;
  call.options.pending.pixelFormatFromSource = false;
}

void sampleFormat(const OptionCall& call) {
  if (call.value == "list") {
    for (int format = 0; format < AV_SAMPLE_FMT_NB; ++format)
      call.Log(llInfo, media::av_get_sample_fmt_name(AVSampleFormat(format)));
    return;
  }
  call.options.pending.sampleFormat = media::av_get_sample_fmt(call.value.c_str());
}

}  // namespace

void AddPictureOptions(OptionTable& table) {
  table["s"] = frameSize;
  table["r"] = frameRate;
  table["aspect"] = [](const OptionCall& call) { call.options.pending.aspectRatio = AspectRatio(call.value); };
  table["pix_fmt"] = pixelFormat;
  table["sample_fmt"] = sampleFormat;
  for (const auto& side : kCropSides) table[side.name] = [&side](const OptionCall& call) { crop(call, side); };
  for (const char* name : {"padtop", "padbottom", "padleft", "padright", "padcolor"})
    table[name] = [](const OptionCall&) { throw EngineException("Please use vfilters=pad"); };
}
