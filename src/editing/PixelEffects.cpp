#include "editing/PixelEffects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double kContrastStep = 0.015707963267948966L;  // pi / 200
constexpr long double kFlatteningStep = 0.015708L;            // the rounded step used below zero
constexpr int kContrastPivot = 170;

std::uint8_t ClampLevel(long long value) { return std::uint8_t(std::clamp<long long>(value, 0, 255)); }

// Calls `visit` with each row's pixel bytes (3 x width of them).
template <typename Visit>
void ForEachRow(TBitmap24& bitmap, Visit visit) {
  const int rowBytes = bitmap.Width * 3;
  for (int y = 0; y < bitmap.Height; ++y)
    visit(bitmap.Bits.data() + std::size_t(y) * std::size_t(bitmap.Stride), rowBytes);
}

// Saturation weights: W[i] = ((i + 1) x saturation) >> 8, unsigned as stored.
std::array<int, 256> SaturationTable(int saturation) {
  std::array<int, 256> weights{};
  for (unsigned i = 0; i < 256; ++i) weights[i] = int(((i + 1) * unsigned(saturation)) >> 8);
  return weights;
}

// G[s] = mean - W[mean] for the sum s of a pixel's three bytes.
std::array<int, 766> GreyTable(const std::array<int, 256>& weights) {
  std::array<int, 766> grey{};
  for (int sum = 0; sum < 766; ++sum) grey[sum] = sum / 3 - weights[sum / 3];
  return grey;
}

// The clip of an overlay along one axis: where drawing starts in the target
// and in the image, and how many pixels it covers.
struct Span {
  int target = 0, image = 0, count = 0;
};

Span ClipSpan(int position, int imageSize, int targetSize) {
  Span span;
  span.count = position + imageSize < targetSize ? imageSize : targetSize - position;
  // Deliberate safety fix: a negative position skips the image's leading part
  // instead of writing before the target's start.
  if (position < 0) {
    span.image = -position;
    span.count -= span.image;
  } else {
    span.target = position;
  }
  return span;
}

std::uint8_t Blend(unsigned target, unsigned image, int alpha, int style) {
  if (style == 1) return std::uint8_t(((256 - alpha) * int(target) + alpha * int(image)) >> 8);
  return std::uint8_t(image * target / 255);
}

}  // namespace

LevelTable ExposureTable(float exposure) {
  LevelTable table{};
  for (int i = 0; i < 256; ++i) {
    // Bounded below so that exposures far beyond the dialog's -255 cannot
    // overflow the integer steps; any such level comes out 0 all the same.
    const double curve = std::max(-1e6, 1.0 - std::exp((i / -128.0) * (exposure / 128.0)));
    const long long e = std::llrint(curve * 256.0);  // to nearest, ties to even
    const long long v = exposure >= 0 ? i + ((e * (255 - i)) >> 8) : i - ((-e * (255 - i)) >> 8);
    table[i] = ClampLevel(v);
  }
  return table;
}

LevelTable ContrastTable(int contrast) {
  if (contrast == 100) contrast = 99;  // 1 / cos(pi / 2) has no value
  const long double k = contrast > 0 ? 1.0L / std::cos(contrast * kContrastStep) : std::cos(contrast * kFlatteningStep);
  LevelTable table{};
  for (int i = 0; i < 256; ++i)
    table[i] = ClampLevel(std::llrint((i - kContrastPivot) * k + kContrastPivot));
  return table;
}

LevelTable ToneTable(int brightness, const LevelTable& contrast) {
  LevelTable table{};
  for (int j = 0; j < 256; ++j) table[j] = contrast[std::clamp((brightness * (j - 1) + 256) / 256, 0, 255)];
  return table;
}

void ApplyExposure(TBitmap24& bitmap, float exposure) {
  const LevelTable table = ExposureTable(exposure);
  ForEachRow(bitmap, [&](std::uint8_t* row, int bytes) {
    for (int x = 0; x < bytes; ++x) row[x] = table[row[x]];
  });
}

void ApplyColour(TBitmap24& bitmap, int brightness, int contrast, int saturation) {
  const LevelTable tone = ToneTable(brightness, ContrastTable(contrast));
  const std::array<int, 256> weights = SaturationTable(saturation);
  const std::array<int, 766> grey = GreyTable(weights);
  ForEachRow(bitmap, [&](std::uint8_t* row, int bytes) {
    for (int x = 0; x < bytes; x += 3) {
      const int base = grey[row[x] + row[x + 1] + row[x + 2]];
      for (int c = 0; c < 3; ++c) row[x + c] = tone[std::clamp(base + weights[row[x + c]], 0, 255)];
    }
  });
}

void OverlayImage(TBitmap24& target, const TBitmap24& image, int left, int top, int alpha, int style) {
  const Span rows = ClipSpan(top, image.Height, target.Height);
  const Span columns = ClipSpan(left, image.Width, target.Width);
  if (rows.count <= 0 || columns.count <= 0) return;
  for (int y = 0; y < rows.count; ++y) {
    std::uint8_t* d = target.Bits.data() + std::size_t(rows.target + y) * std::size_t(target.Stride);
    const std::uint8_t* s = image.Bits.data() + std::size_t(rows.image + y) * std::size_t(image.Stride);
    d += columns.target * 3;
    s += columns.image * 3;
    for (int x = 0; x < columns.count * 3; ++x) d[x] = Blend(d[x], s[x], alpha, style);
  }
}
