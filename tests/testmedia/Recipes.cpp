#include "Recipes.h"

#include <stdexcept>

namespace test_media {
namespace {

VideoSpec H264() { return {.encoder = "libx264", .options = {{"preset", "ultrafast"}}}; }
VideoSpec Mpeg4() { return {.encoder = "mpeg4"}; }
AudioSpec Aac() { return {.encoder = "aac", .bitRate = 64000}; }
AudioSpec Mp3() { return {.encoder = "libmp3lame", .bitRate = 64000}; }

// MPEG-2 and AC-3 in 2048-byte packs at the DVD mux rate, as DVD authoring
// expects; 4:3 pictures, GOPs within the DVD limits of 18 (NTSC) and 15 (PAL)
// frames, and the DVD video buffer size and peak rate.
MediaSpec Dvd(bool ntsc) {
  const VideoSpec video{.encoder = "mpeg2video",
                        .width = 720,
                        .height = ntsc ? 480 : 576,
                        .frameRate = ntsc ? AVRational{30000, 1001} : AVRational{25, 1},
                        .gopSize = ntsc ? 18 : 15,
                        .bitRate = 1500000,
                        .maxRate = 9000000,
                        .bufferSize = 1835008,
                        .sampleAspect = ntsc ? AVRational{8, 9} : AVRational{16, 15}};
  return {.muxer = "dvd",
          .video = video,
          .audio = AudioSpec{.encoder = "ac3", .sampleRate = 48000, .bitRate = 192000},
          .muxerOptions = {{"packetsize", "2048"}, {"muxrate", "10080000"}}};
}

}  // namespace

MediaSpec Recipe(Kind kind) {
  switch (kind) {
    case Kind::Mp4H264Aac: return {.muxer = "mp4", .video = H264(), .audio = Aac()};
    case Kind::AviMpeg4Mp3: return {.muxer = "avi", .video = Mpeg4(), .audio = Mp3()};
    case Kind::Mkv: return {.muxer = "matroska", .video = H264(), .audio = AudioSpec{.encoder = "libvorbis"}};
    case Kind::Mp3Id3:
      return {.muxer = "mp3",
              .audio = Mp3(),
              .metadata = {{"title", "Test Tone"}, {"artist", "Oxbel Tests"}, {"album", "Generated Media"}}};
    case Kind::Wav: return {.muxer = "wav", .audio = AudioSpec{.encoder = "pcm_s16le"}};
    case Kind::VideoOnlyMp4: return {.muxer = "mp4", .video = Mpeg4()};
    case Kind::AudioOnlyM4a: return {.muxer = "ipod", .audio = Aac()};
    case Kind::DvdNtscMpeg2Ac3: return Dvd(true);
    case Kind::DvdPalMpeg2Ac3: return Dvd(false);
    // A raw H.264 stream carries neither time stamps nor a bit rate.
    case Kind::UnknownDuration: return {.muxer = "h264", .video = H264()};
    case Kind::Clip320: return {.muxer = "mp4", .video = VideoSpec{.encoder = "mpeg4", .width = 320, .height = 240}, .audio = Aac()};
    case Kind::WidePal:
      return {.muxer = "mp4",
              .video = VideoSpec{.encoder = "mpeg4", .width = 720, .height = 576, .sampleAspect = {64, 45}},
              .audio = Aac()};
    case Kind::Letterboxed:
      return {.muxer = "mp4",
              .video = VideoSpec{.encoder = "mpeg4", .width = 640, .height = 360, .letterboxRows = 44},
              .audio = Aac(),
              .seconds = 4};
    case Kind::LongDvdPal: {
      auto spec = Dvd(false);
      spec.video->width = 352;
      spec.video->height = 288;
      spec.seconds = 8;
      return spec;
    }
    default: throw std::logic_error("no recipe: the file is not encoded");
  }
}

}  // namespace test_media
