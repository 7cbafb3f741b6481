#pragma once

#include <QString>

class QWidget;

// Turning the computer off, behind an interface so that tests never do it.
class PowerControl {
 public:
  virtual ~PowerControl() = default;
  // Asks the system to power off now, closing every program without asking.
  // Returns an empty text when the request was accepted, otherwise the
  // system's reason.
  virtual QString PowerOff() = 0;
};

// The power control in use: systemd-logind on the system bus unless a test
// installed another. UI thread only.
PowerControl& powerControl();
// Installs a replacement (not owned); nullptr restores logind.
void setPowerControl(PowerControl* replacement);

// Powers the computer off through powerControl(); when the system refuses,
// the user is told why (caption "Warning") over parent.
void ShutDownComputer(QWidget* parent);
