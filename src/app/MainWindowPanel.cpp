// The main window's parameter panel: the format picker, the parameter combos
// and the settings dialog.
#include <QLineEdit>
#include <QListWidget>

#include "app/MainWindow.h"
#include "frontend/SettingsKeys.h"
#include "settings/FormatPicker.h"
#include "settings/FormatPickerDelegate.h"
#include "settings/ParameterPanel.h"
#include "settings/SettingsDialog.h"

namespace keys = settings_keys;

namespace {

constexpr const char* kPickerNameDefault = "Apple iPod Video MPEG-4 Movie (*.mp4)";

}  // namespace

void TfrmMain::ConnectPanel() {
  picker_ = new TFormatPicker(ui_.edt1, ui_.imgbtn1, ui_.lst1, TPickerOpening{true, 386, true}, this);
  picker_->nameToOpen = [this] {
    return QString::fromStdString(Settings().readString(keys::kSettings, keys::kFormatName, kPickerNameDefault));
  };
  connect(picker_, &TFormatPicker::formatChosen, this, &TfrmMain::lst1FormatChosen);

  panel_ = new TParameterPanel(ui_, ui_.btnDefault, this,
                               {[this] { return Settings(); }, [this] { return FormatCatalogue(); },
                                [this] { return CurrentFormatCode.toInt(); }});
  connect(ui_.edt1, &QLineEdit::textChanged, panel_, &TParameterPanel::ApplyFormat);

  for (QAction* action : {menus_.actSettings, menus_.actOutputSettings})
    connect(action, &QAction::triggered, this, &TfrmMain::ShowSettingsDialog);
}

// Always applies the format: after the settings dialog the name may be the
// same while the stored values changed.
void TfrmMain::BuildFormatPicker() {
  const QString name = QString::fromStdString(Settings().readString(keys::kSettings, keys::kFormatName, kPickerNameDefault));
  const bool same = ui_.edt1->text() == name;
  picker_->Build(Settings(), name);
  if (same) panel_->ApplyFormat();
  QPalette palette = ui_.edDirectory->palette();
  palette.setColor(QPalette::Base, kPickerBackground);
  ui_.edDirectory->setPalette(palette);
}

void TfrmMain::SaveFormatPickerState() {
  IniFile settings = Settings();
  picker_->SaveExpandState(settings);
}

void TfrmMain::lst1FormatChosen(const QString& name, int code) {
  IniFile settings = Settings();
  settings.writeString(keys::kSettings, keys::kFormatName, name.toStdString());
  settings.writeString(keys::kSettings, keys::kFormatCode, std::to_string(code));
  CurrentFormatName = name;
  CurrentFormatCode = QString::number(code);
  ui_.edt1->setText(name);
}

void TfrmMain::ShowSettingsDialog() {
  SaveFormatPickerState();
  if (!settingsDialog_)
    settingsDialog_ = new TfrmSettings([this] { return Settings(); }, [this] { return FormatCatalogue(); }, this);
  if (settingsDialog_->exec() != QDialog::Accepted) return;
  CurrentFormatName = settingsDialog_->FormatName();
  CurrentFormatCode = QString::number(settingsDialog_->FormatCode());
  BuildFormatPicker();
}
