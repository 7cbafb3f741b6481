#pragma once

#include <QString>

// Where the program's files live on this platform.
namespace app_paths {

// Folder of the running executable, with a trailing "/".
QString programFolder();
// $XDG_CONFIG_HOME/oxbel/ (default ~/.config/oxbel/), with a trailing "/".
QString configFolder();
// $XDG_CACHE_HOME/oxbel/ (default ~/.cache/oxbel/), with a trailing "/".
QString cacheFolder();
// The default output and snapshot folder: $HOME/clipforge.
QString defaultOutputFolder();

}  // namespace app_paths
