#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>

// The libraries the loader knows, in load order: every library comes after
// those it depends on, so copies in the library folder are the ones used.
enum class MediaLibrary { avutil, swresample, swscale, avcodec, avformat, avfilter, avdevice, SDL2 };
constexpr int kMediaLibraryCount = 8;

// A set of libraries: one bit per MediaLibrary.
using MediaLibrarySet = std::uint8_t;
constexpr MediaLibrarySet LibraryBit(MediaLibrary library) { return MediaLibrarySet(1u << int(library)); }
// What the engine and the probe need: every media library but avdevice.
constexpr MediaLibrarySet kEngineLibraries =
    LibraryBit(MediaLibrary::avutil) | LibraryBit(MediaLibrary::swresample) | LibraryBit(MediaLibrary::swscale) |
    LibraryBit(MediaLibrary::avcodec) | LibraryBit(MediaLibrary::avformat) | LibraryBit(MediaLibrary::avfilter);
// What the player needs: the engine's set and SDL2.
constexpr MediaLibrarySet kPlayerLibraries = kEngineLibraries | LibraryBit(MediaLibrary::SDL2);

// Loads the media libraries at run time and binds the entry-point table
// (MediaApi.h). One loader per process; every operation takes its lock, so any
// thread may ask whether a library is loaded. Failures never raise: they
// return false and leave the reason in lastError().
class TMediaLoader {
 public:
  static TMediaLoader& instance();

  // Folder searched first for the library files (empty: only the system's).
  void setLibraryDirectory(const std::string& folder);
  std::string libraryDirectory() const;
  std::string lastError() const;

  // File name of a library: the replacement set for it, else lib<base>.so.<major>.
  std::string fileName(MediaLibrary library) const;
  void setFileName(MediaLibrary library, const std::string& name);

  bool load(MediaLibrary library);
  // Loads the libraries of the set in load order; on the first failure every
  // library of the set is unloaded again. An empty set fails.
  bool loadSet(MediaLibrarySet set);
  bool isLoaded(MediaLibrary library) const;
  bool isSetLoaded(MediaLibrarySet set) const;
  void unload(MediaLibrary library);
  void unloadSet(MediaLibrarySet set);

  // When set (the default), the library log goes to TMediaLogger as soon as
  // avutil is bound.
  void setHookLog(bool hook);

 private:
  struct Status {
    std::string replacementName;
    std::string openedPath;  // what dlopen was given, for messages
    void* handle = nullptr;
    bool bound = false;
  };

  TMediaLoader() = default;
  bool loadLocked(MediaLibrary library);
  bool openLocked(MediaLibrary library);
  bool bindLocked(MediaLibrary library);
  void unloadLocked(MediaLibrary library);
  std::string fileNameLocked(MediaLibrary library) const;

  mutable std::recursive_mutex mutex_;
  std::string lastError_;         // guarded by mutex_
  std::string libraryDirectory_;  // guarded by mutex_
  std::array<Status, kMediaLibraryCount> status_{};  // guarded by mutex_
  bool hookLog_ = true;           // guarded by mutex_
};

// The process-wide lock around opening and closing codecs and reading stream
// information, shared by the engine's tasks, the probe and the player.
std::mutex& MediaLibraryLock();
