#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

namespace test_media {

using Options = std::vector<std::pair<std::string, std::string>>;

struct VideoSpec {
  std::string encoder{};
  int width = 176, height = 144;
  AVRational frameRate{25, 1};
  int gopSize = 12;
  std::int64_t bitRate = 0;  // 0: the encoder's default
  std::int64_t maxRate = 0, bufferSize = 0;
  AVRational sampleAspect{0, 1};
  Options options{};  // encoder options
  // Black bars over the pattern: rows at the top and at the bottom, columns at
  // the left and at the right.
  int letterboxRows = 0, pillarboxColumns = 0;
  // A black picture with one white block in its top left corner (a third of
  // the width and height), instead of the moving pattern.
  bool cornerMarker = false;
  // The encoder's pixel format; the picture is drawn in 8-bit 4:2:0 and converted.
  AVPixelFormat pixelFormat = AV_PIX_FMT_YUV420P;
  // Draws each picture straight into the encoder's frame instead (picture number given).
  std::function<void(AVFrame&, std::int64_t)> draw{};
  // Colour tags of the stream and its pictures.
  AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
  AVColorTransferCharacteristic transfer = AVCOL_TRC_UNSPECIFIED;
  AVColorSpace matrix = AVCOL_SPC_UNSPECIFIED;
  // The stream's display matrix (16.16 fixed point), as phones store a turn.
  std::optional<std::array<std::int32_t, 9>> displayMatrix{};
  // A variable frame rate, as phones record: the durations in milliseconds of
  // the frames of each whole second (summing to 1000). `draw` then gets the
  // picture's number, and frameRate is only the nominal rate.
  std::function<std::vector<int>(int second)> secondDurationsMs{};
  // MPEG-2 only: the pictures (at frameRate, 23.976) are stored as soft
  // telecine, flagged to repeat fields in the 3:2 cadence (MarkSoftTelecine).
  bool softTelecine = false;
};

inline constexpr double kBeepSeconds = 0.05;

struct AudioSpec {
  std::string encoder{};
  int sampleRate = 44100;
  int channels = 2;
  std::int64_t bitRate = 0;
  double toneHz = 440;  // the first channel's tone; channel n plays toneHz * (n + 1)
  Options options{};
  // When set, the tone sounds only for kBeepSeconds from each of these times
  // (seconds), silence elsewhere.
  std::vector<double> beepsAt{};
};

struct MediaSpec {
  std::string muxer{};
  std::optional<VideoSpec> video{};
  std::optional<AudioSpec> audio{};
  std::vector<AudioSpec> moreAudio{};  // further audio streams, written after `audio`
  double seconds = 2;
  Options metadata{};  // container tags
  Options muxerOptions{};  // format context and muxer options
};

// Encodes the test pattern and tone as `spec` describes into the file at
// `path`. Throws std::runtime_error naming the failed step.
void WriteMedia(const MediaSpec& spec, const std::string& path);

}  // namespace test_media
