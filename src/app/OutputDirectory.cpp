#include "app/OutputDirectory.h"

#include <QDir>

#include "app/AppPaths.h"
#include "app/IniFile.h"
#include "app/SettingsKeys.h"
#include "ui/Prompts.h"

namespace {

bool folderExistsOrCreated(const QString& folder) {
  return !folder.trimmed().isEmpty() && QDir().mkpath(folder) && QDir(folder).exists();
}

}  // namespace

QString EnsureOutputFolder(IniFile& settings, const char* key, QWidget* parent) {
  const QString fallback = app_paths::defaultOutputFolder();
  const QString folder = QString::fromStdString(
      settings.readString(settings_keys::kSettings, key, fallback.toStdString()));
  if (folderExistsOrCreated(folder)) return folder;

  PromptMessage message;
  message.caption = QStringLiteral("Warning");
  message.text = QStringLiteral("Cannot create output directory:") + folder +
                 QStringLiteral(".It will create default directory ") + fallback +
                 QStringLiteral("!");
  message.buttons = PromptButtons::Ok;
  prompts().ask(parent, message);

  QDir().mkpath(fallback);
  settings.writeString(settings_keys::kSettings, key, fallback.toStdString());
  return fallback;
}
