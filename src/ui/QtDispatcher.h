#pragma once

#include "media/Dispatcher.h"

// Runs worker-thread calls on the Qt event loop of the application's thread.
class QtDispatcher : public Dispatcher {
 public:
  bool onUiThread() const override;
  void call(const std::function<void()>& fn) override;
  void pump() override;
};
