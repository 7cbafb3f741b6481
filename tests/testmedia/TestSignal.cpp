#include "TestSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "media/MediaApi.h"
#include "MediaWriter.h"

namespace test_media {

void FillPicture(AVFrame& frame, std::int64_t index) {
  const int shift = int(index % 256);
  const int boxSize = frame.height / 4;
  const int boxX = int(index * 4 % (frame.width - boxSize));
  const int boxY = (frame.height - boxSize) / 2;
  for (int y = 0; y < frame.height; ++y) {
    std::uint8_t* row = frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0];
    for (int x = 0; x < frame.width; ++x) {
      const bool inBox = x >= boxX && x < boxX + boxSize && y >= boxY && y < boxY + boxSize;
      row[x] = std::uint8_t(inBox ? 235 : 16 + (x + y + shift) % 200);
    }
  }
  for (int y = 0; y < frame.height / 2; ++y) {
    std::uint8_t* u = frame.data[1] + std::ptrdiff_t(y) * frame.linesize[1];
    std::uint8_t* v = frame.data[2] + std::ptrdiff_t(y) * frame.linesize[2];
    for (int x = 0; x < frame.width / 2; ++x) {
      u[x] = std::uint8_t(64 + x * 128 / (frame.width / 2));
      v[x] = std::uint8_t(64 + (y + shift / 2) % (frame.height / 2) * 128 / (frame.height / 2));
    }
  }
}

namespace {

void FillPlane(AVFrame& frame, int plane, int scale, int rows, int columns, std::uint8_t value) {
  const int width = frame.width / scale, height = frame.height / scale;
  rows /= scale;
  columns /= scale;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = frame.data[plane] + std::ptrdiff_t(y) * frame.linesize[plane];
    for (int x = 0; x < width; ++x)
      if (y < rows || y >= height - rows || x < columns || x >= width - columns) row[x] = value;
  }
}

}  // namespace

void DrawBars(AVFrame& frame, int rows, int columns) {
  if (rows <= 0 && columns <= 0) return;
  FillPlane(frame, 0, 1, rows, columns, 16);
  FillPlane(frame, 1, 2, rows, columns, 128);
  FillPlane(frame, 2, 2, rows, columns, 128);
}

void DrawCornerMarker(AVFrame& frame) {
  for (int plane = 0; plane < 3; ++plane) {
    const int scale = plane ? 2 : 1;
    for (int y = 0; y < frame.height / scale; ++y) {
      std::uint8_t* row = frame.data[plane] + std::ptrdiff_t(y) * frame.linesize[plane];
      for (int x = 0; x < frame.width / scale; ++x)
        row[x] = plane ? 128 : (x < frame.width / scale / 3 && y < frame.height / scale / 3 ? 235 : 16);
    }
  }
}

namespace {

void StoreSample(AVFrame& frame, int channel, int index, double value) {
  const auto fixed = std::int16_t(std::lround(value * 32767));
  switch (frame.format) {
    case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame.data[channel])[index] = float(value); break;
    case AV_SAMPLE_FMT_S16P: reinterpret_cast<std::int16_t*>(frame.data[channel])[index] = fixed; break;
    case AV_SAMPLE_FMT_S16:
      reinterpret_cast<std::int16_t*>(frame.data[0])[index * frame.ch_layout.nb_channels + channel] = fixed;
      break;
    default: throw std::runtime_error("tone: unsupported sample format");
  }
}

}  // namespace

void FillTone(AVFrame& frame, std::int64_t firstSample, double toneHz) {
  for (int channel = 0; channel < frame.ch_layout.nb_channels; ++channel) {
    const double step = 2 * std::numbers::pi * toneHz * (channel + 1) / frame.sample_rate;
    for (int i = 0; i < frame.nb_samples; ++i)
      StoreSample(frame, channel, i, 0.3 * std::sin(step * double(firstSample + i)));
  }
}

void SilenceBetweenBeeps(AVFrame& frame, std::int64_t firstSample, const std::vector<double>& beepsAt) {
  for (int i = 0; i < frame.nb_samples; ++i) {
    const double time = double(firstSample + i) / frame.sample_rate;
    const bool sounding = std::any_of(beepsAt.begin(), beepsAt.end(),
                                      [&](double beep) { return time >= beep && time < beep + kBeepSeconds; });
    if (!sounding)
      for (int channel = 0; channel < frame.ch_layout.nb_channels; ++channel) StoreSample(frame, channel, i, 0);
  }
}

}  // namespace test_media
