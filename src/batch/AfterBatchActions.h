#pragma once

#include <memory>
#include <vector>

#include "ui/WindowContext.h"

class TfrmProgress;

// Something done once the last job of a batch converted, when the user asked
// for it in the progress window.
class AfterBatchAction {
 public:
  virtual ~AfterBatchAction() = default;
  virtual bool Wanted(const TfrmProgress& progress) const = 0;
  virtual void Run() = 0;
};

// Opening the output folder, then powering the computer off, in that order.
std::vector<std::unique_ptr<AfterBatchAction>> StandardAfterBatchActions(const WindowContext& context);
