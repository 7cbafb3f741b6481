#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/MainWindow.h"
#include "support/TempHome.h"
#include "ui/ScriptedPrompts.h"

// The real main window over a fresh home, with scripted prompts; closed
// without the exit question at the end.
class MainWindowFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    window.SkipExitConfirmation = true;
    window.close();
  }

  // Shows the window (its show handler runs then) and waits until it is on screen.
  void Show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  // Runs what shows a modal window (a batch's progress window, a dialog) and
  // returns when it has closed; a watchdog that dies with the call closes it
  // after `milliseconds`, so that no test waits for ever.
  static void WithinTime(int milliseconds, const std::function<void()>& run) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(milliseconds);
    run();
  }

  TempHome home;
  ScriptedPrompts prompts;
  TfrmMain window;
};
