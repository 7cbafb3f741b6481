#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/MainWindow.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"

// The real main window over a fresh home, with scripted prompts; closed
// without the exit question at the end.
class MainWindowFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    window.SetSkipExitConfirmation(true);
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

  // "Add DVD", then a click on an item of the menu it opens.
  void ClickAddDvdItem(QMenu* menu, QAction* item) {
    QTest::mouseClick(window.controls().BtnAddDVD, Qt::LeftButton);
    QMenu* popup = window.menus().pmAddDVD;
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    if (menu != popup) {
      QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(menu->menuAction()).center());
      ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
  }

  // Once a dialog of that type shows and its player has started, runs `act`
  // on it (from the event loop of whatever modal call is running then).
  template <typename Dialog>
  void WhenPlaying(const std::function<void(Dialog&)>& act) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, [this, poll, act] {
      auto* dialog = window.findChild<Dialog*>();
      if (!dialog || !dialog->isVisible() || dialog->Player().Position() <= 0) return;
      poll->stop();
      poll->deleteLater();
      act(*dialog);
    });
    poll->start(20);
  }

  // Opens a DVD folder or image through "Add DVD" and the chooser.
  void OpenFolderOrImage(const QString& path) {
    prompts.queueDvd(path);
    ClickAddDvdItem(window.menus().pmAddDVD, window.menus().actAddDvdFolder);
  }

  TempHome home;
  ScriptedPrompts prompts;
  TfrmMain window;
};
