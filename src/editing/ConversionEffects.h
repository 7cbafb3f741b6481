#pragma once

#include <map>
#include <mutex>

#include "editing/EffectSettings.h"
#include "editing/FrameComposition.h"

// The effects and watermarks of a batch's tasks, copied from their jobs when
// the tasks are made, and applied to the tasks' frames by the engine's hook on
// its worker threads. The copy keeps a conversion independent of later changes
// to the job list; each task keeps its watermark picture loaded.
class ConversionEffects {
 public:
  // UI thread, while no batch runs.
  void Clear();
  void SetTask(int task, const EffectSettings& settings);
  // Any thread: draws the task's effects into its frame; a task without
  // effects leaves it alone. Throws when the watermark picture cannot be read.
  void Apply(int task, TBitmap24& frame);

 private:
  struct TaskEffects {
    EffectSettings settings;
    WatermarkImageCache image;
  };
  std::mutex mutex_;
  std::map<int, TaskEffects> tasks_;  // guarded by mutex_
};
