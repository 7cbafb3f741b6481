#include "engine/run/RunContext.h"

#include "engine/setup/HookModules.h"

RunContext::RunContext(TCustomEngineTask& owner)
    : task(owner),
      settings(owner.options_.task),
      pending(owner.options_.pending),
      generic(owner.options_.generic),
      inputFiles(owner.inputs_),
      outputFiles(owner.outputs_),
      hookModules(*owner.hookModules_),
      onFrameHook(owner.onFrameHook_),
      onPreview(owner.onPreview_),
      onProgress(owner.onProgress_),
      joining(owner.joining_),
      progressInterval(owner.progressInterval_) {}
