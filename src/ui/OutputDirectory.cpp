#include "ui/OutputDirectory.h"

#include "frontend/IniFile.h"
#include "frontend/OutputFolder.h"
#include "ui/Prompts.h"

QString EnsureOutputFolder(IniFile& settings, const char* key, QWidget* parent) {
  return QString::fromStdString(OutputFolderOrDefault(settings, key, [parent](const std::string& text) {
    PromptMessage message;
    message.caption = QStringLiteral("Warning");
    message.text = QString::fromStdString(text);
    message.buttons = PromptButtons::Ok;
    prompts().ask(parent, message);
  }));
}
