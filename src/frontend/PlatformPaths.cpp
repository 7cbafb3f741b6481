#include "frontend/PlatformPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string withSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// A relative or empty XDG variable is to be ignored, as the XDG rules say.
std::string xdgFolder(const char* variable, const char* fallbackBelowHome) {
  std::string base = environment(variable);
  if (base.empty() || base.front() != '/') base = platform_paths::HomeFolder() + "/" + fallbackBelowHome;
  return withSlash(withSlash(base) + "oxbel");
}

}  // namespace

namespace platform_paths {

std::string ProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("./") : withSlash(exe.parent_path().string());
}

std::string HomeFolder() {
  const std::string home = environment("HOME");
  if (!home.empty()) return home;
  const passwd* pw = getpwuid(getuid());
  return pw ? std::string(pw->pw_dir) : std::filesystem::temp_directory_path().string();
}

std::string ConfigFolder() { return xdgFolder("XDG_CONFIG_HOME", ".config"); }

std::string CacheFolder() { return xdgFolder("XDG_CACHE_HOME", ".cache"); }

std::string SettingsFilePath() { return ConfigFolder() + "oxbeldvdto3gpconverter.ini"; }

std::string CatalogueFilePath() { return ProgramFolder() + "oxbel3gpformat.ini"; }

std::string DefaultOutputFolder() { return HomeFolder() + "/clipforge"; }

}  // namespace platform_paths
