#include "FlashBeep.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <set>

namespace test_media {
namespace {

// Frames of a second of the variable clip: 16, 20 or 28 frames of 30, 50 and
// 70 ms, so that counting frames gives no clock.
std::vector<int> VariableSecond(int second) {
  std::vector<int> durations;
  switch (second % 3) {
    case 0:
      for (int i = 0; i < 6; ++i) durations.insert(durations.end(), {70, 50});
      durations.insert(durations.end(), {70, 70, 70, 70});
      break;
    case 1:
      for (int i = 0; i < 10; ++i) durations.insert(durations.end(), {30, 70});
      break;
    default:
      for (int i = 0; i < 8; ++i) durations.insert(durations.end(), {30, 30, 50});
      durations.insert(durations.end(), {30, 30, 30, 30});
  }
  return durations;
}

// Every picture's start time in seconds.
std::vector<double> FrameStarts(FlashBeepKind kind, AVRational rate, double seconds) {
  std::vector<double> starts;
  if (kind == FlashBeepKind::Variable) {
    for (int second = 0; second < std::ceil(seconds); ++second) {
      double time = second;
      for (const int duration : VariableSecond(second)) {
        if (time < seconds) starts.push_back(time);
        time += duration / 1000.0;
      }
    }
    return starts;
  }
  for (std::int64_t i = 0; double(i) / av_q2d(rate) < seconds - 1e-9; ++i) starts.push_back(double(i) / av_q2d(rate));
  return starts;
}

void FillLuma(AVFrame& frame, std::uint8_t luma) {
  for (int plane = 0; plane < 3; ++plane) {
    const int rows = plane ? frame.height / 2 : frame.height, width = plane ? frame.width / 2 : frame.width;
    for (int y = 0; y < rows; ++y) std::memset(frame.data[plane] + std::ptrdiff_t(y) * frame.linesize[plane], plane ? 128 : luma, size_t(width));
  }
}

}  // namespace

MediaSpec FlashBeepSpec(FlashBeepKind kind, double seconds) {
  const bool variable = kind == FlashBeepKind::Variable;
  const AVRational rate = kind == FlashBeepKind::Ntsc2997 ? AVRational{30000, 1001} : AVRational{25, 1};
  const std::vector<double> starts = FrameStarts(kind, rate, seconds);
  auto flashing = std::make_shared<std::set<std::int64_t>>();
  std::vector<double> beeps;
  for (int second = 0; second < std::ceil(seconds); ++second) {
    std::int64_t first = -1;
    for (std::int64_t i = 0; i < std::int64_t(starts.size()); ++i) {
      const double start = starts[size_t(i)];
      if (start < second - 1e-9 || start >= second + kFlashSeconds - 1e-9) continue;
      if (first < 0) first = i;
      flashing->insert(i);
    }
    if (first >= 0) beeps.push_back(starts[size_t(first)]);
  }
  MediaSpec spec;
  spec.seconds = seconds;
  spec.video = VideoSpec{.encoder = variable ? "libx264" : "mpeg2video",
                         .width = 352, .height = kind == FlashBeepKind::Ntsc2997 ? 240 : 288,
                         .frameRate = rate,
                         .bitRate = variable ? 0 : 2000000,
                         .draw = [flashing](AVFrame& frame, std::int64_t index) {
                           FillLuma(frame, flashing->count(index) ? 235 : 16);
                         }};
  if (variable) spec.video->secondDurationsMs = VariableSecond;
  spec.audio = AudioSpec{.encoder = variable ? "aac" : "mp2", .sampleRate = variable ? 44100 : 48000,
                         .bitRate = variable ? 0 : 192000, .toneHz = 1000, .beepsAt = beeps};
  spec.muxer = variable ? "mp4" : "mpeg";
  return spec;
}

}  // namespace test_media
