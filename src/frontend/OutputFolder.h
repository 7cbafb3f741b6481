#pragma once

#include <functional>
#include <string>

class IniFile;

// Shows a warning to the user (the window routes it to a message box with the
// caption "Warning" and an OK button; the command line prints it).
using WarnUser = std::function<void(const std::string& text)>;

// The folder stored under key ("OutPutDir" or "SnapOutPutDir") of the
// "settings" section, created with all missing parents when needed. When it
// cannot be created the user is warned, the default folder ($HOME/clipforge) is
// created and stored instead, and the default folder is returned, so nothing is
// ever written to a folder that does not exist.
std::string OutputFolderOrDefault(IniFile& settings, const char* key, const WarnUser& warn);
