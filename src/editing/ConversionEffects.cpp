#include "editing/ConversionEffects.h"

void ConversionEffects::Clear() {
  const std::lock_guard lock(mutex_);
  tasks_.clear();
}

void ConversionEffects::SetTask(int task, const EffectSettings& settings) {
  const std::lock_guard lock(mutex_);
  tasks_[task] = {settings, {}};
}

void ConversionEffects::Apply(int task, TBitmap24& frame) {
  const std::lock_guard lock(mutex_);
  const auto found = tasks_.find(task);
  if (found == tasks_.end()) return;
  TaskEffects& effects = found->second;
  ComposeFrame(frame, effects.settings, effects.image.Get(effects.settings.ImagePath));
}
