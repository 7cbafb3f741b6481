#include "frontend/OutputFolder.h"

#include <filesystem>

#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "frontend/SettingsKeys.h"

namespace {

bool folderExistsOrCreated(const std::string& folder) {
  if (folder.find_first_not_of(" \t") == std::string::npos) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

}  // namespace

std::string OutputFolderOrDefault(IniFile& settings, const char* key, const WarnUser& warn) {
  const std::string fallback = platform_paths::DefaultOutputFolder();
  const std::string folder = settings.readString(settings_keys::kSettings, key, fallback);
  if (folderExistsOrCreated(folder)) return folder;

  warn("Cannot create output directory:" + folder + ".It will create default directory " + fallback + "!");
  std::error_code error;
  std::filesystem::create_directories(fallback, error);
  settings.writeString(settings_keys::kSettings, key, fallback);
  return fallback;
}
