#pragma once

#include <cstdint>
#include <vector>

#include "engine/setup/EngineTask.h"

class HookModuleList;

// The run's time base for its own clocks: microseconds.
inline constexpr AVRational kMicroseconds{1, AV_TIME_BASE};

// What the parts of a run use of their task: its files, settings and
// handlers. The run builds it once and the task outlives the run; like the
// run, it belongs to the task's thread.
struct RunContext {
  explicit RunContext(TCustomEngineTask& owner);

  TCustomEngineTask& task;
  TaskSettings& settings;
  PendingFileSettings& pending;
  const GenericOptions& generic;
  std::vector<TCustomEngineTask::InputFile>& inputFiles;
  std::vector<TCustomEngineTask::OutputFile>& outputFiles;
  HookModuleList& hookModules;
  FrameHookHandler& onFrameHook;  // dropped once the hook declines further pictures
  const PreviewHandler& onPreview;
  const ProgressHandler& onProgress;
  const bool& joining;                   // the inputs follow each other into the same outputs
  const std::int64_t& progressInterval;  // microseconds between progress reports
};
