#include "Telecine.h"

#include <cmath>

#include "Recipes.h"

namespace test_media {
namespace {

// The bar's rows alternate two bright and two dim, so a picture rebuilt from
// one field (a deinterlacer's) loses the pattern a whole picture keeps.
std::uint8_t BarLuma(int row) { return row % 4 < 2 ? 235 : 165; }

int BarLeft(std::int64_t film) { return int((kFilmBarStep * film) % (kNtscWidth - kFilmBar)); }

// Draws each row's bar at the place of the film picture `filmOf(row)`.
template <typename FilmOfRow>
void DrawBarRows(AVFrame& frame, FilmOfRow filmOf) {
  for (int plane = 0; plane < 3; ++plane) {
    const int scale = plane ? 2 : 1;
    for (int y = 0; y < frame.height / scale; ++y) {
      const int left = BarLeft(filmOf(y * scale)) / scale;
      std::uint8_t* row = frame.data[plane] + std::ptrdiff_t(y) * frame.linesize[plane];
      for (int x = 0; x < frame.width / scale; ++x)
        row[x] = plane ? 128 : (x >= left && x < left + kFilmBar / scale ? BarLuma(y) : 16);
    }
  }
}

// Finds the start codes of an MPEG-2 video packet and calls `at(offset)`
// with the offset of the byte after each 00 00 01.
template <typename AtCode>
void ForEachStartCode(AVPacket& packet, AtCode at) {
  for (int i = 0; i + 3 < packet.size; ++i)
    if (packet.data[i] == 0 && packet.data[i + 1] == 0 && packet.data[i + 2] == 1) at(i + 3);
}

}  // namespace

void DrawFilmPicture(AVFrame& frame, std::int64_t film) {
  frame.interlaced_frame = 0;
  DrawBarRows(frame, [film](int) { return film; });
}

void DrawTelecinedPicture(AVFrame& frame, std::int64_t index) {
  static constexpr int kTop[5] = {0, 1, 1, 2, 3}, kBottom[5] = {0, 1, 2, 3, 3};
  const std::int64_t cycle = index / 5 * 4;
  const int place = int(index % 5);
  frame.interlaced_frame = 1;
  frame.top_field_first = 1;
  DrawBarRows(frame, [&](int row) { return cycle + (row % 2 == 0 ? kTop[place] : kBottom[place]); });
}

void MarkSoftTelecine(AVPacket& packet, std::int64_t picture) {
  // Top first + repeat, bottom first, bottom first + repeat, top first: 3 2 3 2 fields.
  static constexpr bool kTopFirst[4] = {true, false, false, true}, kRepeat[4] = {true, false, true, false};
  static constexpr int kFieldsBefore[4] = {0, 3, 5, 8};
  const int place = int(picture % 4);
  ForEachStartCode(packet, [&](int at) {
    std::uint8_t* code = packet.data + at;
    const int left = packet.size - at;
    if (code[0] == 0xB3 && left > 4) {
      code[4] = std::uint8_t((code[4] & 0xF0) | 4);  // frame rate code 4: 30000/1001
    } else if (code[0] == 0xB5 && left > 2 && (code[1] >> 4) == 1) {
      code[2] &= std::uint8_t(~0x08);  // progressive_sequence 0: the flags repeat fields
    } else if (code[0] == 0xB5 && left > 5 && (code[1] >> 4) == 8) {
      code[4] = std::uint8_t((code[4] & ~0x82) | (kTopFirst[place] ? 0x80 : 0) | (kRepeat[place] ? 0x02 : 0));
      code[5] |= 0x80;  // progressive_frame
    }
  });
  const std::int64_t fields = picture / 4 * 10 + kFieldsBefore[place];
  packet.pts = packet.dts = fields;
  packet.duration = kRepeat[place] ? 3 : 2;
}

namespace {

MediaSpec FilmSpec(double seconds) {
  MediaSpec spec = Recipe(Kind::DvdNtscMpeg2Ac3);
  spec.video->bitRate = 6000000;
  spec.video->gopSize = 15;
  spec.seconds = seconds;
  return spec;
}

}  // namespace

MediaSpec HardTelecineSpec(double seconds) {
  MediaSpec spec = FilmSpec(seconds);
  spec.video->options = {{"flags", "+ildct+ilme"}};
  spec.video->draw = DrawTelecinedPicture;
  return spec;
}

MediaSpec SoftTelecineSpec(double seconds) {
  MediaSpec spec = FilmSpec(seconds);
  spec.video->frameRate = {24000, 1001};
  spec.video->softTelecine = true;
  spec.video->draw = DrawFilmPicture;
  return spec;
}

int FilmBarPlace::Film() const { return int(std::lround((top + bottom) / 2 / kFilmBarStep)); }

FilmBarPlace MeasureFilmBar(const std::uint8_t* luma, int stride, int width, int height, int step) {
  auto at = [&](int x, int y) { return int(luma[std::ptrdiff_t(y) * stride + std::ptrdiff_t(x) * step]); };
  // The mean left edge over the middle rows of each field, in 720-wide pixels.
  double sums[2] = {0, 0};
  int counts[2] = {0, 0};
  for (int y = height / 4; y < height * 3 / 4; ++y)
    for (int x = 0; x < width; ++x)
      if (at(x, y) > 125) {
        sums[y % 2] += double(x) * kNtscWidth / width;
        ++counts[y % 2];
        break;
      }
  FilmBarPlace place{counts[0] ? sums[0] / counts[0] : -1, counts[1] ? sums[1] / counts[1] : -1};
  if (place.Combed() || height != kNtscHeight) return place;
  // Bright rows against dim rows inside the bar.
  const int left = int(std::lround((place.top + place.bottom) / 2 * width / kNtscWidth));
  double sums2[2] = {0, 0};
  int counts2[2] = {0, 0};
  for (int y = height / 4; y < height * 3 / 4; ++y)
    for (int x = left + 8; x < left + kFilmBar - 8 && x < width; ++x) {
      sums2[y % 4 < 2 ? 0 : 1] += at(x, y);
      ++counts2[y % 4 < 2 ? 0 : 1];
    }
  if (counts2[0] && counts2[1]) place.rowContrast = sums2[0] / counts2[0] - sums2[1] / counts2[1];
  return place;
}

FilmBarPlace MeasureFilmBar(const AVFrame& frame) {
  return MeasureFilmBar(frame.data[0], frame.linesize[0], frame.width, frame.height, 1);
}

}  // namespace test_media
