#pragma once

#include <functional>

#include "frontend/IniFile.h"

class QWidget;

// What the main window's feature controllers share: the window their dialogs
// and messages open over, and fresh handles on the settings file and the
// format catalogue (every access opens and closes the file).
struct WindowContext {
  QWidget* window = nullptr;
  std::function<IniFile()> settings;
  std::function<IniFile()> catalogue;
};
