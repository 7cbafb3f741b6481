// Border detection for the crop editor: pictures sampled over the source, each
// measured by cropdetect, and per side the border most of them agree on.
#include "probe/BorderDetection.h"

#include <algorithm>
#include <vector>

#include "dvd/DvdInput.h"
#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaUtils.h"
#include "picture/UprightSteps.h"
#include "probe/CropDetectFilter.h"
#include "probe/MediaProbe.h"
#include "probe/PictureDecoder.h"

namespace {

constexpr int kSamples = 10;
// Without a known duration the samples are taken from the start, this many
// pictures apart.
constexpr int kUntimedSpacing = 10;

// The source opened the way the probe opens it, with its demuxer at hand.
class OpenedSource : public TCustomMediaProbe {
 public:
  explicit OpenedSource(const std::string& source) {
    if (!LoadFile(source)) throw EngineException(LastErrorMessage());
    videoStream_ = media::av_find_best_stream(context(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (videoStream_ < 0) throw EngineException(StringPrintf("%s: no video stream", source.c_str()));
  }
  int VideoStream() const { return videoStream_; }
  using TCustomMediaProbe::context;
  using TCustomMediaProbe::dvd;

 private:
  int videoStream_ = -1;
};

// Moves the input to `offset` microseconds after its start and returns the
// first time whose picture counts as there: a file seeks back to a key frame
// and decodes on to that time; a DVD title seeks by the disc's tables, whose
// clock is not the demuxer's, and takes the first picture it reaches
// (AV_NOPTS_VALUE). A failed file seek decodes on from where the input stands.
std::int64_t SeekTo(OpenedSource& source, PictureDecoder& decoder, std::int64_t offset) {
  AVFormatContext* input = source.context();
  if (DvdInput* dvd = source.dvd()) {
    const std::int64_t position = dvd->PositionOf(double(offset) / AV_TIME_BASE);
    if (position >= 0 && media::av_seek_frame(input, -1, position, AVSEEK_FLAG_BYTE) >= 0) decoder.Restart();
    return AV_NOPTS_VALUE;
  }
  const std::int64_t target = (input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time) + offset;
  if (media::av_seek_frame(input, -1, target, AVSEEK_FLAG_BACKWARD) >= 0) decoder.Restart();
  return target;
}

// The first picture at or after `target` (any picture for AV_NOPTS_VALUE), nullptr at the end.
AVFrame* PictureAt(PictureDecoder& decoder, std::int64_t target) {
  AVFrame* picture;
  while ((picture = decoder.Next())) {
    const std::int64_t time = decoder.TimeOf(*picture);
    if (target == AV_NOPTS_VALUE || time == AV_NOPTS_VALUE || time >= target) break;
  }
  return picture;
}

std::vector<BorderMargins> SampleBorders(OpenedSource& source, PictureDecoder& decoder) {
  std::vector<BorderMargins> samples;
  const Orientation orientation = StreamOrientation(*source.context()->streams[source.VideoStream()]);
  auto measure = [&](AVFrame* picture) {
    if (const auto margins = CropDetectFrame(picture, orientation)) samples.push_back(*margins);
  };
  const std::int64_t duration = source.context()->duration;
  if (duration == AV_NOPTS_VALUE || duration <= 0) {
    int index = 0;
    for (AVFrame* picture; index < kSamples * kUntimedSpacing && (picture = decoder.Next()); ++index)
      if (index % kUntimedSpacing == 0) measure(picture);
    return samples;
  }
  for (int i = 0; i < kSamples; ++i) {
    const std::int64_t target = SeekTo(source, decoder, duration * (2 * i + 1) / (2 * kSamples));
    if (AVFrame* picture = PictureAt(decoder, target)) measure(picture);
  }
  return samples;
}

// The lower median: a border that more than half of the samples show at least.
int Agreed(std::vector<int> values) {
  std::sort(values.begin(), values.end());
  const int value = std::max(0, values[(values.size() - 1) / 2]);
  return value & ~1;
}

BorderMargins Combine(const std::vector<BorderMargins>& samples) {
  if (samples.empty()) return {};
  auto side = [&](int BorderMargins::*member) {
    std::vector<int> values;
    for (const BorderMargins& sample : samples) values.push_back(sample.*member);
    return Agreed(std::move(values));
  };
  return {.Top = side(&BorderMargins::Top),
          .Left = side(&BorderMargins::Left),
          .Bottom = side(&BorderMargins::Bottom),
          .Right = side(&BorderMargins::Right)};
}

}  // namespace

BorderMargins DetectBorders(const std::string& source) {
  if (!TMediaLoader::instance().isLoaded(MediaLibrary::avfilter)) throw EngineException("LibAVFilter not loaded.");
  OpenedSource opened(source);
  PictureDecoder decoder(opened.context(), opened.VideoStream(), source);
  return Combine(SampleBorders(opened, decoder));
}
