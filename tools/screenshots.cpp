// Shows the main window on the current display (Xvfb in scripts/screenshot) and
// writes PNG pictures of it, of each menu opened, and of the About window.
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "ui/ScriptedPrompts.h"

namespace {

void settle(int milliseconds = 300) {
  for (int i = 0; i < milliseconds / 10; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

bool saveScreen(const QString& folder, const QString& name) {
  const QString path = folder + "/" + name + ".png";
  const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  QTemporaryDir settingsHome;  // fresh settings, so the pictures show the defaults
  qputenv("XDG_CONFIG_HOME", settingsHome.path().toUtf8());
  OxbelApplication application(argc, argv);
  const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(folder);
  ScriptedPrompts prompts;

  TfrmMain window;
  window.move(10, 10);
  window.show();
  settle();
  bool ok = saveScreen(folder, "main-window");

  const QList<QAction*> menus = window.menuBar()->actions();
  for (QAction* action : menus) {
    if (!action->menu()) continue;
    window.menuBar()->setActiveAction(action);
    settle();
    if (action->menu()->objectName() == "mnuTools") {
      action->menu()->setActiveAction(window.menus().mnuSkin->menuAction());
      settle();
    }
    ok = saveScreen(folder, "menu-" + action->menu()->objectName().mid(3).toLower()) && ok;
    action->menu()->close();
    window.menus().mnuSkin->close();
    settle(100);
  }

  QTimer::singleShot(400, [&] {
    ok = saveScreen(folder, "about") && ok;
    if (QWidget* about = QApplication::activeModalWidget()) about->close();
  });
  window.menus().actAbout->trigger();

  window.SkipExitConfirmation = true;
  window.close();
  return ok ? 0 : 1;
}
