#include "support/TempHome.h"

#include <fstream>
#include <sstream>

TempHome::TempHome()
    : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldCache_(qgetenv("XDG_CACHE_HOME")) {
  qputenv("HOME", dir_.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
  qputenv("XDG_CACHE_HOME", (dir_.path() + "/cache").toUtf8());
}

TempHome::~TempHome() {
  qputenv("HOME", oldHome_);
  qputenv("XDG_CONFIG_HOME", oldConfig_);
  qputenv("XDG_CACHE_HOME", oldCache_);
}

QString TempHome::settingsPath() const { return dir_.path() + "/config/oxbel/oxbeldvdto3gpconverter.ini"; }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}
