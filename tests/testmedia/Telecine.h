#pragma once

// NTSC film clips: a white bar moving kFilmBarStep pixels a film picture
// across a black 720x480 picture, so that the bar's place names the film
// picture and a picture whose two fields disagree is combed.
#include <cstdint>
#include <string>

extern "C" {
#include <libavcodec/packet.h>
#include <libavutil/frame.h>
}

#include "MediaWriter.h"

namespace test_media {

inline constexpr int kFilmBarStep = 12, kFilmBar = 48;
inline constexpr int kNtscWidth = 720, kNtscHeight = 480;

// Film picture `film` drawn whole (progressive).
void DrawFilmPicture(AVFrame& frame, std::int64_t film);

// NTSC picture `index` of film woven into fields by 3:2 pulldown (hard
// telecine): film pictures A B C D become the pictures AA BB BC CD DD (top
// field, bottom field), marked interlaced, top field first.
void DrawTelecinedPicture(AVFrame& frame, std::int64_t index);

// Soft telecine: 23.976 film pictures coded whole, each packet's picture
// coding extension set to repeat the first field in the 3:2 cadence (top
// first and repeated, bottom first, bottom first and repeated, top first),
// the sequence header set to 29.97 and its extension to interlaced, and the
// packet timed by the fields it shows (in kFieldTimeBase). `picture` counts
// from 0; the encoder must not reorder pictures.
void MarkSoftTelecine(AVPacket& packet, std::int64_t picture);
inline constexpr AVRational kFieldTimeBase{1001, 60000};

// The film clips' specs: an MPEG-2 program stream of `seconds`.
MediaSpec HardTelecineSpec(double seconds);
MediaSpec SoftTelecineSpec(double seconds);

// Where the bar of each field of a decoded 8-bit picture lies (its left
// edge in pixels of a 720-wide picture), and the film picture that makes.
struct FilmBarPlace {
  double top = -1, bottom = -1;  // -1: no bar found
  // The bar's bright rows' mean luma minus its dim rows' (720x480 pictures
  // only): 70 in a whole picture, about half in one a deinterlacer rebuilt
  // from one field, 0 when not measured.
  double rowContrast = 0;
  bool Combed() const { return top < 0 || bottom < 0 || top - bottom > 4 || bottom - top > 4; }
  int Film() const;
};
FilmBarPlace MeasureFilmBar(const AVFrame& frame);
// The same on luma samples (or one channel of RGB) `step` bytes apart.
FilmBarPlace MeasureFilmBar(const std::uint8_t* luma, int stride, int width, int height, int step);

}  // namespace test_media
