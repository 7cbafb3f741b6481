#include "player/AudioVisualisation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
void Plot(SinkPicture& picture, int x, int y, std::uint8_t green) {
  if (x < 0 || y < 0 || x >= picture.Width || y >= picture.Height) return;
  std::uint8_t* pixel = picture.Pixels.data() + std::size_t(y) * std::size_t(picture.Stride) + std::size_t(x) * 4;
  pixel[0] = 0x60;
  pixel[1] = green;
  pixel[2] = 0x60;
  pixel[3] = 0xff;
}
}  // namespace

void DrawAudioVisualisation(const std::vector<std::int16_t>& samples, SinkPicture& picture) {
  for (int y = 0; y < picture.Height; ++y) {
    std::uint8_t* row = picture.Pixels.data() + std::size_t(y) * std::size_t(picture.Stride);
    for (int x = 0; x < picture.Width; ++x) {
      row[x * 4] = row[x * 4 + 1] = row[x * 4 + 2] = 0;
      row[x * 4 + 3] = 0xff;
    }
  }
  if (samples.empty() || picture.Width <= 0 || picture.Height <= 0) return;
  const int barHeight = std::max(2, picture.Height / 16);
  const int waveHeight = picture.Height - barHeight - 2;
  const int middle = waveHeight / 2;
  int previous = middle;
  double energy = 0;
  for (int x = 0; x < picture.Width; ++x) {
    const std::int16_t sample = samples[std::size_t(x) * samples.size() / std::size_t(picture.Width)];
    energy += double(sample) * sample;
    const int y = middle - int(std::lround(double(sample) / 32768.0 * (middle - 1)));
    for (int line = std::min(previous, y); line <= std::max(previous, y); ++line) Plot(picture, x, line, 0xe0);
    previous = y;
  }
  const double level = std::sqrt(energy / picture.Width) / 32768.0;
  const int barWidth = int(std::lround(std::min(1.0, level * 2) * picture.Width));
  for (int y = picture.Height - barHeight; y < picture.Height; ++y)
    for (int x = 0; x < barWidth; ++x) Plot(picture, x, y, 0xa0);
}
