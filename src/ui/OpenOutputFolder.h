#pragma once

#include "frontend/SettingsKeys.h"

class IniFile;

// Opens the folder stored under key ("OutPutDir" or "SnapOutPutDir", default
// the default output folder) in the desktop's file manager. Does nothing when
// the folder text has 2 characters or fewer. Returns whether the desktop
// accepted the request. UI thread only.
bool OpenOutputFolder(const IniFile& settings, const char* key = settings_keys::kOutPutDir);
