#pragma once

#include <gtest/gtest.h>

#include <QTest>

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

  TempHome home;
  ScriptedPrompts prompts;
  TfrmMain window;
};
