#include <csignal>

#include "app/Application.h"
#include "app/CoverWindow.h"
#include "app/MainWindow.h"
#include "ui/AppPaths.h"

int main(int argc, char** argv) {
  // A file grown past the system's size limit fails its conversion with a
  // message instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  OxbelApplication application(argc, argv);

  TfrmCover cover(app_paths::programFolder() + "skin/dvd3gpcover.jpg");
  cover.show();
  cover.repaint();
  QApplication::processEvents();

  setApplicationTitle(QStringLiteral("Oxbel dvd ripper"));
  TfrmMain mainWindow;
  cover.watchMainWindow(&mainWindow);
  mainWindow.show();
  return application.exec();
}
