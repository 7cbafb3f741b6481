#include "media/MediaLoader.h"

#include <dlfcn.h>


#include "media/LibraryFiles.h"
#include "media/MediaApi.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

struct LibraryRow {
  const char* baseName;
  int headerMajor;        // major version of the headers the table was built from
  int (*runtimeMajor)();  // asks the bound library for its major version
};

int sdlMajor() {
  SDL_version version{};
  media::SDL_GetVersion(&version);
  return version.major;
}

const std::array<LibraryRow, kMediaLibraryCount> kRows{{
    {"avutil", LIBAVUTIL_VERSION_MAJOR, [] { return int(media::avutil_version() >> 16); }},
    {"swresample", LIBSWRESAMPLE_VERSION_MAJOR, [] { return int(media::swresample_version() >> 16); }},
    {"swscale", LIBSWSCALE_VERSION_MAJOR, [] { return int(media::swscale_version() >> 16); }},
    {"avcodec", LIBAVCODEC_VERSION_MAJOR, [] { return int(media::avcodec_version() >> 16); }},
    {"avformat", LIBAVFORMAT_VERSION_MAJOR, [] { return int(media::avformat_version() >> 16); }},
    {"avfilter", LIBAVFILTER_VERSION_MAJOR, [] { return int(media::avfilter_version() >> 16); }},
    {"avdevice", LIBAVDEVICE_VERSION_MAJOR, [] { return int(media::avdevice_version() >> 16); }},
    {"SDL2-2.0", 0, sdlMajor},  // the file's major; the API's major is checked below
}};

struct EntryPoint {
  MediaLibrary library;
  const char* name;
  void (*assign)(void* address);  // stores the address (or nullptr) in the table
};

const EntryPoint kEntryPoints[] = {
#define MEDIA_FN(library, function) \
  {MediaLibrary::library, #function, [](void* a) { media::function = reinterpret_cast<decltype(media::function)>(a); }},
#include "media/MediaEntryPoints.inc"
#undef MEDIA_FN
};

// The API major version the headers expect of a library whose file major differs.
int apiMajor(MediaLibrary library) {
  return library == MediaLibrary::SDL2 ? SDL_MAJOR_VERSION : kRows[size_t(library)].headerMajor;
}

int runtimeApiMajor(MediaLibrary library) {
  return kRows[size_t(library)].runtimeMajor();
}

}  // namespace

TMediaLoader& TMediaLoader::instance() {
  static TMediaLoader loader;
  return loader;
}

void TMediaLoader::setLibraryDirectory(const std::string& folder) {
  std::lock_guard lock(mutex_);
  libraryDirectory_ = folder;
}

std::string TMediaLoader::libraryDirectory() const {
  std::lock_guard lock(mutex_);
  return libraryDirectory_;
}

std::string TMediaLoader::lastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

std::string TMediaLoader::fileName(MediaLibrary library) const {
  std::lock_guard lock(mutex_);
  return fileNameLocked(library);
}

std::string TMediaLoader::fileNameLocked(MediaLibrary library) const {
  const auto& status = status_[size_t(library)];
  if (!status.replacementName.empty()) return status.replacementName;
  const auto& row = kRows[size_t(library)];
  return "lib" + std::string(row.baseName) + ".so." + std::to_string(row.headerMajor);
}

void TMediaLoader::setFileName(MediaLibrary library, const std::string& name) {
  std::lock_guard lock(mutex_);
  status_[size_t(library)].replacementName = name;
}

void TMediaLoader::setHookLog(bool hook) {
  std::lock_guard lock(mutex_);
  hookLog_ = hook;
}

bool TMediaLoader::load(MediaLibrary library) {
  std::lock_guard lock(mutex_);
  return loadLocked(library);
}

bool TMediaLoader::loadLocked(MediaLibrary library) {
  auto& status = status_[size_t(library)];
  if (!status.handle && !openLocked(library)) return false;
  if (!status.bound && !bindLocked(library)) {
    unloadLocked(library);
    return false;
  }
  if (library == MediaLibrary::avutil && hookLog_) TMediaLogger::instance().installLibraryCallback();
  return true;
}

// A name with a folder is opened from there; a bare name is taken from the
// library folder when the file is there, else from the system's search order.
bool TMediaLoader::openLocked(MediaLibrary library) {
  const std::string path = LibraryPathIn(libraryDirectory_, fileNameLocked(library));
  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    lastError_ = StringPrintf("Load library %s error: %s", path.c_str(), DynamicLoaderError().c_str());
    return false;
  }
  status_[size_t(library)].handle = handle;
  status_[size_t(library)].openedPath = path;
  return true;
}

bool TMediaLoader::bindLocked(MediaLibrary library) {
  auto& status = status_[size_t(library)];
  const std::string& name = status.openedPath;
  for (const auto& entry : kEntryPoints) {
    if (entry.library != library) continue;
    dlerror();
    void* address = dlsym(status.handle, entry.name);
    if (!address) {
      lastError_ = StringPrintf("Load function %s@%s error: %s", entry.name, name.c_str(), DynamicLoaderError().c_str());
      return false;
    }
    entry.assign(address);
  }
  const int found = runtimeApiMajor(library);
  if (found != apiMajor(library)) {
    lastError_ = StringPrintf("Load library %s error: major version %d found, the program needs version %d",
                              name.c_str(), found, apiMajor(library));
    return false;
  }
  status.bound = true;
  return true;
}

bool TMediaLoader::loadSet(MediaLibrarySet set) {
  std::lock_guard lock(mutex_);
  if (set == 0) {
    lastError_ = "No library to load.";
    return false;
  }
  // Only what this call loaded is unloaded again on failure: libraries that were
  // loaded before may be in use by a running task.
  MediaLibrarySet loadedHere = 0;
  for (int i = 0; i < kMediaLibraryCount; ++i) {
    const auto library = MediaLibrary(i);
    if (!(set & LibraryBit(library))) continue;
    const bool wasLoaded = status_[size_t(i)].handle && status_[size_t(i)].bound;
    if (!loadLocked(library)) {
      for (int j = kMediaLibraryCount - 1; j >= 0; --j)
        if (loadedHere & LibraryBit(MediaLibrary(j))) unloadLocked(MediaLibrary(j));
      return false;
    }
    if (!wasLoaded) loadedHere |= LibraryBit(library);
  }
  return true;
}

bool TMediaLoader::isLoaded(MediaLibrary library) const {
  std::lock_guard lock(mutex_);
  const auto& status = status_[size_t(library)];
  return status.handle && status.bound;
}

bool TMediaLoader::isSetLoaded(MediaLibrarySet set) const {
  for (int i = 0; i < kMediaLibraryCount; ++i)
    if ((set & LibraryBit(MediaLibrary(i))) && !isLoaded(MediaLibrary(i))) return false;
  return true;
}

void TMediaLoader::unload(MediaLibrary library) {
  std::lock_guard lock(mutex_);
  unloadLocked(library);
}

void TMediaLoader::unloadLocked(MediaLibrary library) {
  auto& status = status_[size_t(library)];
  for (const auto& entry : kEntryPoints)
    if (entry.library == library) entry.assign(nullptr);
  status.bound = false;
  if (status.handle) {
    dlclose(status.handle);
    status.handle = nullptr;
  }
}

void TMediaLoader::unloadSet(MediaLibrarySet set) {
  std::lock_guard lock(mutex_);
  for (int i = kMediaLibraryCount - 1; i >= 0; --i)
    if (set & LibraryBit(MediaLibrary(i))) unloadLocked(MediaLibrary(i));
}

std::mutex& MediaLibraryLock() {
  static std::mutex lock;
  return lock;
}
