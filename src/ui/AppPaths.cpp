#include "ui/AppPaths.h"

#include "frontend/PlatformPaths.h"

namespace app_paths {

QString programFolder() { return QString::fromStdString(platform_paths::ProgramFolder()); }

QString configFolder() { return QString::fromStdString(platform_paths::ConfigFolder()); }

QString cacheFolder() { return QString::fromStdString(platform_paths::CacheFolder()); }

QString defaultOutputFolder() { return QString::fromStdString(platform_paths::DefaultOutputFolder()); }

}  // namespace app_paths
