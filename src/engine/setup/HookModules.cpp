#include "engine/setup/HookModules.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

// Opens a module library once per path and keeps it open for the life of the
// process, so later uses share it and no task unloads code another still runs.
// Tasks add modules from parallel threads, hence the lock. A failure is logged
// at error level with the system's text and raised with that text.
void* LoadModuleLibrary(const std::string& path) {
  static std::mutex lock;
  static std::map<std::string, void*> loaded;
  std::lock_guard guard(lock);
  if (auto found = loaded.find(path); found != loaded.end()) return found->second;
  // A name with a slash is opened as a file, never searched for; the module's
  // own dependencies are found through its RUNPATH.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  dlerror();
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    const std::string text = reason ? reason : path;
    TMediaLogger::instance().Log(nullptr, LogLevelFromLibrary(AV_LOG_ERROR), text);
    throw EngineException(text);
  }
  loaded.emplace(path, handle);
  return handle;
}

template <typename Function>
Function Lookup(void* library, const char* name) {
  return reinterpret_cast<Function>(dlsym(library, name));
}

}  // namespace

HookModuleList::~HookModuleList() { Release(); }

void HookModuleList::Add(const std::vector<std::string>& words) {
  const std::string path = words.empty() ? std::string() : words[0];
  void* library = LoadModuleLibrary(path);
  Module module;
  module.process = Lookup<OxbelHookProcessFn>(library, "Process");
  if (!module.process) throw EngineException(StringPrintf("Failed to find Process entrypoint in %s\n", path.c_str()));
  const auto configure = Lookup<OxbelHookConfigureFn>(library, "Configure");
  if (!configure && words.size() > 1)
    throw EngineException(StringPrintf("Failed to find Configure entrypoint in %s\n", path.c_str()));
  module.release = Lookup<OxbelHookReleaseFn>(library, "Release");
  if (configure) {
    // Configure gets the whole word list like a command line: argc counts the
    // module's path too, argv[0] is that path and argv[argc] is null. A module
    // without arguments is still configured so that it can set up its context.
    module.words = words;
    for (auto& word : module.words) module.argv.push_back(word.data());
    module.argv.push_back(nullptr);
    if (configure(&module.context, int(module.words.size()), module.argv.data()) != 0)
      throw EngineException(StringPrintf("Failed to Configure %s\n", path.c_str()));
  }
  modules_.push_back(std::move(module));
}

void HookModuleList::Process(AVFrame* frame, std::int64_t ptsMicroseconds) {
  OxbelHookPicture picture{};
  for (int plane = 0; plane < 4; ++plane) {
    picture.data[plane] = frame->data[plane];
    picture.linesize[plane] = frame->linesize[plane];
  }
  for (const auto& module : modules_)
    module.process(module.context, &picture, frame->format, frame->width, frame->height, ptsMicroseconds);
}

void HookModuleList::Release() {
  for (const auto& module : modules_)
    if (module.release) module.release(module.context);
  modules_.clear();
}
