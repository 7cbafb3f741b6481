// The output folder row of the main window ("Brows", "Open") and Tools › Preference.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainWindow.h"
#include "ui/OpenOutputFolder.h"
#include "settings/PreferenceWindow.h"
#include "ui/Prompts.h"

void TfrmMain::ConnectFolders() {
  connect(ui_.btnBrows, &QPushButton::clicked, this, &TfrmMain::btnBrowsClick);
  connect(ui_.btnOpen, &QPushButton::clicked, this, [this] {
    if (ui_.edDirectory->text().size() > 2) OpenOutputFolder(Settings());
  });
  connect(menus_.actPreference, &QAction::triggered, this, &TfrmMain::ShowPreferences);
}

// The field stores every change of its text, so showing the new folder stores it.
void TfrmMain::btnBrowsClick() {
  const QString folder = prompts().chooseFolder(this);
  if (!folder.isEmpty() && folder != ui_.edDirectory->text()) ui_.edDirectory->setText(folder);
}

void TfrmMain::ShowPreferences() {
  if (!preference_) preference_ = new TfrmPreference([this] { return Settings(); }, this);
  preference_->exec();
}
