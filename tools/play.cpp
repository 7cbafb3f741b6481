// oxbel-play FILE: plays a media file (or an "opendvd:" source) in a window.
#include <QApplication>
#include <cstdio>

#include "preview/PlayerWindow.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: oxbel-play FILE\n");
    return 2;
  }
  TPlayerWindow window;
  window.resize(520, 420);
  window.show();
  if (!window.Play(argv[1])) {
    std::fprintf(stderr, "%s\n", window.LastErrorMessage().c_str());
    return 1;
  }
  return application.exec();
}
