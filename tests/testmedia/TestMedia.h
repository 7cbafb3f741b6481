#pragma once

#include <string>

// Small media files for the tests, written on first request into a folder of
// the build tree by the program's own encoders and reused afterwards.
namespace test_media {

enum class Kind {
  Mp4H264Aac,       // H.264 + AAC in MP4
  AviMpeg4Mp3,      // MPEG-4 Part 2 + MP3 in AVI
  Mkv,              // H.264 + Vorbis in Matroska
  Mp3Id3,           // MP3 with ID3v2 title, artist and album
  Wav,              // 16-bit stereo PCM at 44100 Hz
  VideoOnlyMp4,     // MPEG-4 Part 2 in MP4, no audio
  AudioOnlyM4a,     // AAC in M4A, no video
  DvdNtscMpeg2Ac3,  // DVD program stream, 720x480 at 29.97 fps + AC-3
  DvdPalMpeg2Ac3,   // DVD program stream, 720x576 at 25 fps + AC-3
  Exact1024,        // WAV of exactly 1024 bytes
  Exact1025,        // WAV of exactly 1025 bytes
  Truncated,        // the first half of Mp4H264Aac: cannot be opened
  NonAsciiName,     // Mp4H264Aac under a name with accented, Cyrillic and CJK letters
  NinetyMinutes,    // a small file whose header claims exactly 90 minutes
  UnknownDuration,  // a stream whose duration the libraries cannot tell
  Clip320,          // MPEG-4 Part 2 320x240 + AAC in MP4, the small clip converted to every format
  WidePal,          // MPEG-4 Part 2 720x576 with 16:9 pixels (64/45) + AAC in MP4
  Letterboxed,      // MPEG-4 Part 2 640x360 (16:9) holding a 2.35:1 picture between 44-row bars + AAC
  LongDvdPal,       // DVD program stream, 352x288 at 25 fps + AC-3, 8 s: enough pictures for pipeline tests
};

inline constexpr Kind kAllKinds[] = {
    Kind::Mp4H264Aac,   Kind::AviMpeg4Mp3,     Kind::Mkv,            Kind::Mp3Id3,       Kind::Wav,
    Kind::VideoOnlyMp4, Kind::AudioOnlyM4a,    Kind::DvdNtscMpeg2Ac3, Kind::DvdPalMpeg2Ac3, Kind::Exact1024,
    Kind::Exact1025,    Kind::Truncated,       Kind::NonAsciiName,   Kind::NinetyMinutes, Kind::UnknownDuration,
    Kind::Clip320,      Kind::WidePal,         Kind::Letterboxed,    Kind::LongDvdPal,
};

// The folder the files go to (created on demand).
std::string Folder();
// The file's name inside Folder().
std::string FileName(Kind kind);
// The file's path; writes it first when it does not exist yet. Safe to call
// from several threads and processes at once. Loads the media libraries when
// needed. Throws std::runtime_error when the file cannot be written.
std::string Path(Kind kind);
// Writes the file into `folder` (created on demand), replacing an older one,
// and returns its path. Files it is derived from are reused when present.
std::string Write(Kind kind, const std::string& folder);

}  // namespace test_media
