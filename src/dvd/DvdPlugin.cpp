#include "dvd/DvdPlugin.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <mutex>

#include "media/EngineException.h"
#include "media/LibraryFiles.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

constexpr char kLibraryName[] = "libdvddec.so";
constexpr char kNotLoaded[] = "DVD plug-in library is not loaded.";

using InitializeFn = int32_t (*)(const char*);
using EnumTitleFn = int32_t (*)(const char*);
using GetTitleFn = int32_t (*)(int32_t, DvdTitleInfo*);
using SetParamFn = int32_t (*)(const DvdParam*);
using LibVersionFn = int32_t (*)();
using SetLogCallbackFn = void (*)(DvdLogCallback);

struct Binding {
  void* handle = nullptr;
  bool loaded = false;
  InitializeFn initialize = nullptr;
  EnumTitleFn enumTitle = nullptr;
  GetTitleFn getTitle = nullptr;
  SetParamFn setParam = nullptr;
  LibVersionFn libVersion = nullptr;
  SetLogCallbackFn setLogCallback = nullptr;
  DvdReaderApi reader{};
};

std::mutex bindingLock;
Binding binding;        // guarded by bindingLock
std::string lastError;  // guarded by bindingLock

// Resolves one export into `target`; raises the binding's text when it is missing.
template <typename Function>
void Resolve(void* handle, const char* name, const std::string& library, Function& target) {
  dlerror();
  void* address = dlsym(handle, name);
  if (!address) throw EngineException(StringPrintf("Load function %s@%s error: %s", name, library.c_str(), DynamicLoaderError().c_str()));
  target = reinterpret_cast<Function>(address);
}

void ResolveReader(void* handle, const std::string& library, DvdReaderApi& reader) {
  Resolve(handle, "DVDOpenTitleReader", library, reader.open);
  Resolve(handle, "DVDCloseTitleReader", library, reader.close);
  Resolve(handle, "DVDReadTitle", library, reader.read);
  Resolve(handle, "DVDSeekTitle", library, reader.seek);
  Resolve(handle, "DVDTitleSize", library, reader.size);
  Resolve(handle, "DVDTitleDuration", library, reader.duration);
  Resolve(handle, "DVDTitleTimeToPosition", library, reader.timeToPosition);
  Resolve(handle, "DVDTitleReaderParam", library, reader.param);
  Resolve(handle, "DVDTitleReaderInfo", library, reader.info);
  Resolve(handle, "DVDLastErrorText", library, reader.lastError);
}

// The plug-in's messages join the media libraries' log.
void ForwardLog(int level, const char* message) {
  auto& logger = TMediaLogger::instance();
  logger.Log(&logger, LogLevelFromLibrary(level), message ? message : "");
}

// Steps after the load: initialise, then resolve the remaining exports.
void Bind(Binding& bound, const std::string& library, const std::string& initialisation) {
  Resolve(bound.handle, "DVDInitialize", library, bound.initialize);
  if (!bound.initialize(initialisation.c_str())) {
    bound.initialize = nullptr;
    throw EngineException("DVD plug-in " + library + " refused the initialisation string.");
  }
  Resolve(bound.handle, "DVDEnumTitle", library, bound.enumTitle);
  Resolve(bound.handle, "DVDGetTitle", library, bound.getTitle);
  Resolve(bound.handle, "DVDSetParam", library, bound.setParam);
  Resolve(bound.handle, "DVDGetLibVersion", library, bound.libVersion);
  Resolve(bound.handle, "DVDSetLogCallback", library, bound.setLogCallback);
  ResolveReader(bound.handle, library, bound.reader);
  bound.setLogCallback(&ForwardLog);
  bound.loaded = true;
}

template <typename Function>
Function BoundEntry(Function Binding::*entry) {
  const std::lock_guard guard(bindingLock);
  if (!binding.loaded || !(binding.*entry)) throw EngineException(kNotLoaded);
  return binding.*entry;
}

}  // namespace

bool LoadDvdPlugin(const std::string& directory, const std::string& initialisation) {
  const std::lock_guard guard(bindingLock);
  if (binding.handle && binding.loaded) return true;
  std::string folder = directory;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string library = folder + kLibraryName;
  dlerror();
  Binding bound;
  bound.handle = dlopen(LibraryPathIn(folder, kLibraryName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!bound.handle) {
    lastError = StringPrintf("Load library %s error: %s", library.c_str(), DynamicLoaderError().c_str());
    return false;
  }
  try {
    Bind(bound, library, initialisation);
  } catch (const EngineException& e) {
    lastError = e.what();
    dlclose(bound.handle);
    return false;
  }
  binding = bound;
  return true;
}

bool DvdPluginLoaded() {
  const std::lock_guard guard(bindingLock);
  return binding.handle && binding.loaded;
}

void UnloadDvdPlugin() {
  const std::lock_guard guard(bindingLock);
  if (!binding.handle) return;
  if (binding.setLogCallback) binding.setLogCallback(nullptr);
  dlclose(binding.handle);
  binding = Binding{};
}

std::string DvdLastError() {
  const std::lock_guard guard(bindingLock);
  return lastError;
}

int DVDEnumTitle(const std::string& path) { return BoundEntry(&Binding::enumTitle)(path.c_str()); }

bool DVDGetTitle(int index, DvdTitleInfo& info) {
  std::memset(&info, 0, sizeof info);
  return BoundEntry(&Binding::getTitle)(index, &info) != 0;
}

void DVDSetParam(const DvdParam& param) {
  const DvdParam copy = param;
  BoundEntry(&Binding::setParam)(&copy);
}

const DvdReaderApi* DvdReader() {
  const std::lock_guard guard(bindingLock);
  return binding.loaded ? &binding.reader : nullptr;
}
