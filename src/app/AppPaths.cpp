#include "app/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

namespace {

QString withSlash(QString path) {
  if (!path.endsWith('/')) path += '/';
  return path;
}

QString homeFolder() {
  const QString home = qEnvironmentVariable("HOME");
  if (!home.isEmpty()) return home;
  const passwd* pw = getpwuid(getuid());
  return pw ? QString::fromLocal8Bit(pw->pw_dir) : QDir::tempPath();
}

QString xdgFolder(const char* variable, const char* fallbackBelowHome) {
  QString base = qEnvironmentVariable(variable);
  if (base.isEmpty() || QDir::isRelativePath(base)) base = homeFolder() + "/" + fallbackBelowHome;
  return withSlash(withSlash(base) + "oxbel");
}

}  // namespace

namespace app_paths {

QString programFolder() {
  const QFileInfo exe(QStringLiteral("/proc/self/exe"));
  return withSlash(QFileInfo(exe.symLinkTarget()).absolutePath());
}

QString configFolder() { return xdgFolder("XDG_CONFIG_HOME", ".config"); }

QString cacheFolder() { return xdgFolder("XDG_CACHE_HOME", ".cache"); }

QString defaultOutputFolder() { return homeFolder() + "/clipforge"; }

}  // namespace app_paths
