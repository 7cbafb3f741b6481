#include "settings/FormatController.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>

#include "frontend/SettingsKeys.h"
#include "settings/FormatPicker.h"
#include "settings/FormatPickerDelegate.h"
#include "settings/ParameterPanel.h"
#include "settings/SettingsDialog.h"

namespace keys = settings_keys;

namespace {

constexpr const char* kPickerNameDefault = "Apple iPod Video MPEG-4 Movie (*.mp4)";

}  // namespace

TFormatController::TFormatController(const FormatControls& controls, WindowContext context, QObject* parent)
    : QObject(parent), ui_(controls), context_(std::move(context)) {
  picker_ = new TFormatPicker(ui_.edt1, ui_.imgbtn1, ui_.lst1, TPickerOpening{true, 386, true}, this);
  picker_->nameToOpen = [this] {
    return QString::fromStdString(context_.settings().readString(keys::kSettings, keys::kFormatName, kPickerNameDefault));
  };
  connect(picker_, &TFormatPicker::formatChosen, this, &TFormatController::lst1FormatChosen);

  panel_ = new TParameterPanel(ui_.combos, ui_.btnDefault, context_.window,
                               {context_.settings, context_.catalogue, [this] { return currentFormatCode_.toInt(); }});
  connect(ui_.edt1, &QLineEdit::textChanged, panel_, &TParameterPanel::ApplyFormat);

  for (QAction* action : {ui_.actSettings, ui_.actOutputSettings})
    connect(action, &QAction::triggered, this, &TFormatController::ShowSettingsDialog);
}

void TFormatController::LoadCurrentFormat() {
  const IniFile settings = context_.settings();
  currentFormatCode_ = QString::fromStdString(settings.readString(keys::kSettings, keys::kFormatCode, keys::kFormatCodeDefault));
  currentFormatName_ = QString::fromStdString(settings.readString(keys::kSettings, keys::kFormatName, keys::kFormatNameDefault));
}

// Always applies the format: after the settings dialog the name may be the
// same while the stored values changed.
void TFormatController::BuildFormatPicker() {
  const QString name =
      QString::fromStdString(context_.settings().readString(keys::kSettings, keys::kFormatName, kPickerNameDefault));
  const bool same = ui_.edt1->text() == name;
  picker_->Build(context_.settings(), name);
  if (same) panel_->ApplyFormat();
  QPalette palette = ui_.edDirectory->palette();
  palette.setColor(QPalette::Base, kPickerBackground);
  ui_.edDirectory->setPalette(palette);
}

void TFormatController::SaveFormatPickerState() {
  IniFile settings = context_.settings();
  picker_->SaveExpandState(settings);
}

void TFormatController::cmbVideoSizeExit() { panel_->cmbVideoSizeExit(); }

void TFormatController::lst1FormatChosen(const QString& name, int code) {
  IniFile settings = context_.settings();
  settings.writeString(keys::kSettings, keys::kFormatName, name.toStdString());
  settings.writeString(keys::kSettings, keys::kFormatCode, std::to_string(code));
  currentFormatName_ = name;
  currentFormatCode_ = QString::number(code);
  ui_.edt1->setText(name);
}

void TFormatController::ShowSettingsDialog() {
  SaveFormatPickerState();
  if (!settingsDialog_) settingsDialog_ = new TfrmSettings(context_.settings, context_.catalogue, context_.window);
  if (settingsDialog_->exec() != QDialog::Accepted) return;
  currentFormatName_ = settingsDialog_->FormatName();
  currentFormatCode_ = QString::number(settingsDialog_->FormatCode());
  BuildFormatPicker();
}
