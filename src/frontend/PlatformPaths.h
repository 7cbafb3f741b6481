#pragma once

#include <string>

// Where the program's files live on this platform, without Qt, so the
// command-line program finds the same files as the window.
namespace platform_paths {

// Folder of the running executable, with a trailing "/" ("./" when unknown).
std::string ProgramFolder();
// $HOME, else the user's home from the password database.
std::string HomeFolder();
// $XDG_CONFIG_HOME/oxbel/ (default ~/.config/oxbel/), with a trailing "/".
std::string ConfigFolder();
// $XDG_CACHE_HOME/oxbel/ (default ~/.cache/oxbel/), with a trailing "/".
std::string CacheFolder();
// The settings file in ConfigFolder().
std::string SettingsFilePath();
// The format catalogue beside the executable.
std::string CatalogueFilePath();
// The default output and snapshot folder: $HOME/clipforge.
std::string DefaultOutputFolder();

}  // namespace platform_paths
