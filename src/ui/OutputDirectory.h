#pragma once

#include <QString>

class IniFile;
class QWidget;

// The folder stored under key ("OutPutDir" or "SnapOutPutDir"), created with
// all missing parents when needed. When it cannot be created the user is
// warned, the default folder ($HOME/clipforge) is created and stored instead,
// and the default folder is returned, so nothing is ever written to a folder
// that does not exist.
QString EnsureOutputFolder(IniFile& settings, const char* key, QWidget* parent);
