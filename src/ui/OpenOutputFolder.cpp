#include "ui/OpenOutputFolder.h"

#include <QDesktopServices>
#include <QUrl>

#include "frontend/IniFile.h"
#include "frontend/SettingsKeys.h"
#include "ui/AppPaths.h"

bool OpenOutputFolder(const IniFile& settings, const char* key) {
  const QString folder = QString::fromStdString(settings.readString(
      settings_keys::kSettings, key, app_paths::defaultOutputFolder().toStdString()));
  if (folder.size() <= 2) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
