#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "oxbel/vhook.h"

struct AVFrame;

// The frame hook modules of one task, run on every decoded video frame in the
// order they were added. The module libraries themselves are shared by all
// tasks and stay loaded for the life of the process; each Add configures a new
// instance with a context of its own.
class HookModuleList {
 public:
  HookModuleList() = default;
  ~HookModuleList();
  HookModuleList(const HookModuleList&) = delete;
  HookModuleList& operator=(const HookModuleList&) = delete;

  // words[0] is the module's path, the rest its arguments. Raises
  // EngineException when the module cannot be loaded or configured.
  void Add(const std::vector<std::string>& words);
  bool Empty() const { return modules_.empty(); }
  // Runs every module on the frame's picture, in place.
  void Process(AVFrame* frame, std::int64_t ptsMicroseconds);
  // Releases every module's context once and empties the list.
  void Release();

 private:
  struct Module {
    OxbelHookProcessFn process = nullptr;
    OxbelHookReleaseFn release = nullptr;
    void* context = nullptr;
    // The argument vector given to Configure; modules may keep pointers into
    // it. Moving a vector keeps its elements in place, so they stay valid.
    std::vector<std::string> words;
    std::vector<char*> argv;
  };

  std::vector<Module> modules_;
};
