#pragma once

#include "batch/PowerOff.h"

// Stands in for logind for its lifetime and records the requests.
class FakePowerControl : public PowerControl {
 public:
  FakePowerControl() { setPowerControl(this); }
  ~FakePowerControl() override { setPowerControl(nullptr); }
  QString PowerOff() override {
    ++calls;
    return answer;
  }
  int calls = 0;
  QString answer;  // empty: the request is accepted
};
