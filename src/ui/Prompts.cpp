#include "ui/Prompts.h"

#include "ui/QtPrompts.h"

namespace {
Prompts* installed = nullptr;  // UI thread only
}

Prompts& prompts() {
  static QtPrompts qtPrompts;
  return installed ? *installed : qtPrompts;
}

void setPrompts(Prompts* replacement) { installed = replacement; }
