#include "TestMedia.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "media/MediaLoader.h"
#include "RawFiles.h"
#include "Recipes.h"

namespace test_media {
namespace {

void LoadLibraries() {
  auto& loader = TMediaLoader::instance();
  if (!loader.isSetLoaded(kEngineLibraries) && !loader.loadSet(kEngineLibraries))
    throw std::runtime_error("load media libraries: " + loader.lastError());
}

enum class Publish { Replace, KeepExisting };

std::string WriteLocked(Kind kind, const std::string& folder, Publish publish);

std::string EnsureLocked(Kind kind, const std::string& folder) {
  const std::string path = folder + "/" + FileName(kind);
  return std::filesystem::exists(path) ? path : WriteLocked(kind, folder, Publish::KeepExisting);
}

void Generate(Kind kind, const std::string& folder, const std::string& path) {
  switch (kind) {
    case Kind::Exact1024: return WriteBytes(path, WavOfSize(1024));
    case Kind::Exact1025: return WriteBytes(path, WavOfSize(1025));
    case Kind::NinetyMinutes: return WriteBytes(path, NinetyMinuteWav());
    case Kind::NonAsciiName: return WriteBytes(path, ReadBytes(EnsureLocked(Kind::Mp4H264Aac, folder)));
    case Kind::Truncated: {
      const std::string whole = ReadBytes(EnsureLocked(Kind::Mp4H264Aac, folder));
      return WriteBytes(path, whole.substr(0, whole.size() / 2));
    }
    default: LoadLibraries(); return WriteMedia(Recipe(kind), path);
  }
}

// Writes under a name private to this process and moves it into place, so a
// concurrent reader sees either no file or a complete one. A shared fixture
// another test process published meanwhile is kept: replacing it would swap the
// file under a conversion that is reading it.
std::string WriteLocked(Kind kind, const std::string& folder, Publish publish) {
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + FileName(kind);
  const std::string partial = folder + "/." + FileName(kind) + "." + std::to_string(::getpid()) + ".part";
  try {
    Generate(kind, folder, partial);
    if (publish == Publish::Replace) {
      std::filesystem::rename(partial, path);
    } else {
      if (::link(partial.c_str(), path.c_str()) != 0 && errno != EEXIST)
        throw std::runtime_error("publish " + path + ": " + std::strerror(errno));
      std::filesystem::remove(partial);
    }
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    throw;
  }
  return path;
}

std::mutex& GenerationLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::string Folder() {
  std::filesystem::create_directories(OXBEL_TESTMEDIA_DIR);
  return OXBEL_TESTMEDIA_DIR;
}

std::string FileName(Kind kind) {
  switch (kind) {
    case Kind::Mp4H264Aac: return "h264_aac.mp4";
    case Kind::AviMpeg4Mp3: return "mpeg4_mp3.avi";
    case Kind::Mkv: return "h264_vorbis.mkv";
    case Kind::Mp3Id3: return "tagged.mp3";
    case Kind::Wav: return "pcm_s16le.wav";
    case Kind::VideoOnlyMp4: return "video_only.mp4";
    case Kind::AudioOnlyM4a: return "audio_only.m4a";
    case Kind::DvdNtscMpeg2Ac3: return "dvd_ntsc.mpg";
    case Kind::DvdPalMpeg2Ac3: return "dvd_pal.mpg";
    case Kind::Exact1024: return "exact_1024.wav";
    case Kind::Exact1025: return "exact_1025.wav";
    case Kind::Truncated: return "truncated.mp4";
    case Kind::NonAsciiName: return "vidéo_тест_日本.mp4";
    case Kind::NinetyMinutes: return "ninety_minutes.wav";
    case Kind::UnknownDuration: return "unknown_duration.h264";
    case Kind::Clip320: return "clip_320x240.mp4";
    case Kind::WidePal: return "wide_pal.mp4";
    case Kind::Letterboxed: return "letterboxed.mp4";
    case Kind::LongDvdPal: return "dvd_pal_8s_352x288.mpg";
  }
  throw std::logic_error("unknown media kind");
}

std::string Path(Kind kind) {
  const std::lock_guard guard(GenerationLock());
  return EnsureLocked(kind, Folder());
}

std::string Write(Kind kind, const std::string& folder) {
  const std::lock_guard guard(GenerationLock());
  return WriteLocked(kind, folder, Publish::Replace);
}

}  // namespace test_media
