#include "support/SyncOffsets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "support/DecodedFrames.h"

namespace {

double MeanLuma(const AVFrame& frame) {
  double sum = 0;
  for (int y = frame.height / 4; y < frame.height * 3 / 4; ++y)
    for (int x = frame.width / 4; x < frame.width * 3 / 4; ++x) sum += frame.data[0][std::ptrdiff_t(y) * frame.linesize[0] + x];
  return sum / ((frame.height / 2) * (frame.width / 2));
}

// The first channel's sample i as -1 to 1, for the sample formats decoders give.
double Sample(const AVFrame& frame, int i) {
  switch (frame.format) {
    case AV_SAMPLE_FMT_FLTP: return reinterpret_cast<const float*>(frame.extended_data[0])[i];
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(frame.data[0])[i * frame.ch_layout.nb_channels];
    case AV_SAMPLE_FMT_S16P: return reinterpret_cast<const std::int16_t*>(frame.extended_data[0])[i] / 32768.0;
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const std::int16_t*>(frame.data[0])[i * frame.ch_layout.nb_channels] / 32768.0;
    case AV_SAMPLE_FMT_S32P: return reinterpret_cast<const std::int32_t*>(frame.extended_data[0])[i] / 2147483648.0;
    case AV_SAMPLE_FMT_S32: return reinterpret_cast<const std::int32_t*>(frame.data[0])[i * frame.ch_layout.nb_channels] / 2147483648.0;
    default: return 0;
  }
}

}  // namespace

SyncOffsets MeasureSync(const std::string& path) {
  SyncOffsets result;
  bool bright = false;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double seconds) {
    const bool now = MeanLuma(frame) > 128;
    if (now && !bright) result.flashes.push_back(seconds);
    bright = now;
  });
  double lastLoud = -1e9;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame& frame, double seconds) {
    for (int i = 0; i < frame.nb_samples; ++i) {
      if (std::fabs(Sample(frame, i)) < 0.05) continue;
      const double time = seconds + double(i) / frame.sample_rate;
      if (time - lastLoud > 0.3) result.beeps.push_back(time);
      lastLoud = time;
    }
  });
  for (const double flash : result.flashes) {
    double nearest = 1e9;
    for (const double beep : result.beeps)
      if (std::fabs(flash - beep) < std::fabs(flash - nearest)) nearest = beep;
    if (std::fabs(flash - nearest) < 0.5) result.offsetsMs.push_back((flash - nearest) * 1000);
  }
  return result;
}

double SyncOffsets::MeanMs() const {
  return offsetsMs.empty() ? NAN : std::accumulate(offsetsMs.begin(), offsetsMs.end(), 0.0) / double(offsetsMs.size());
}

double SyncOffsets::PercentileMs(double fraction) const {
  if (offsetsMs.empty()) return NAN;
  std::vector<double> sizes;
  for (const double offset : offsetsMs) sizes.push_back(std::fabs(offset));
  std::sort(sizes.begin(), sizes.end());
  const size_t rank = size_t(std::ceil(fraction * double(sizes.size())));
  return sizes[std::min(sizes.size() - 1, rank == 0 ? 0 : rank - 1)];
}

double SyncOffsets::MaxMs() const { return PercentileMs(1.0); }

std::string SyncOffsets::Describe() const {
  char text[160];
  std::snprintf(text, sizeof text, "%zu offsets of %zu flashes, %zu beeps: mean %.1f p50 %.1f p95 %.1f max %.1f ms;",
                offsetsMs.size(), flashes.size(), beeps.size(), MeanMs(), PercentileMs(0.5), PercentileMs(0.95), MaxMs());
  std::string described = text;
  for (size_t i = 0; i < flashes.size(); ++i) {
    std::snprintf(text, sizeof text, " %.3f", flashes[i]);
    described += (i ? "" : " flashes") + std::string(text);
  }
  for (size_t i = 0; i < beeps.size(); ++i) {
    std::snprintf(text, sizeof text, " %.3f", beeps[i]);
    described += (i ? "" : "; beeps") + std::string(text);
  }
  return described;
}
