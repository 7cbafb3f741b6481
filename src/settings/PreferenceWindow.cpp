#include "settings/PreferenceWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>

#include "ui/OpenOutputFolder.h"
#include "frontend/SettingsKeys.h"
#include "ui/AppPaths.h"
#include "ui/Prompts.h"

namespace keys = settings_keys;

namespace {

constexpr int kQualityMin = 1;
constexpr int kQualityMax = 100;
constexpr int kDefaultQuality = 20;
constexpr int kNormalPriority = 1;
// The stored values of the deinterlace items, in their order.
const QStringList kDeinterlaceValues{QStringLiteral("auto"), QStringLiteral("always"), QStringLiteral("never")};

std::string str(const QString& s) { return s.toStdString(); }

}  // namespace

TfrmPreference::TfrmPreference(SettingsSource settings, QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), ui_(BuildPreferenceControls(this)) {
  setObjectName(QStringLiteral("frmPreference"));
  setWindowTitle(QStringLiteral("Preference"));
  resize(580, 300);
  ConnectControls();
}

void TfrmPreference::ConnectControls() {
  connect(ui_.ckFullSize, &QCheckBox::clicked, this, [this] { KeepOneChecked(ui_.ckFullSize, ui_.ckSmallSize); });
  connect(ui_.ckSmallSize, &QCheckBox::clicked, this, [this] { KeepOneChecked(ui_.ckSmallSize, ui_.ckFullSize); });
  connect(ui_.ckBmp, &QCheckBox::clicked, this, [this] { KeepOneChecked(ui_.ckBmp, ui_.ckJpg); });
  connect(ui_.ckJpg, &QCheckBox::clicked, this, &TfrmPreference::ckJpgClick);
  connect(ui_.trcCmp, &QSlider::valueChanged, ui_.spedCmp, &QSpinBox::setValue);
  connect(ui_.spedCmp, &QSpinBox::valueChanged, ui_.trcCmp, &QSlider::setValue);
  connect(ui_.btnOpen, &QPushButton::clicked, this, &TfrmPreference::btnOpenClick);
  connect(ui_.btnBrows, &QPushButton::clicked, this, &TfrmPreference::btnBrowsClick);
  connect(ui_.btnDefault, &QPushButton::clicked, this, &TfrmPreference::btnDefaultClick);
  connect(ui_.btnOk, &QPushButton::clicked, this, &TfrmPreference::btnOkClick);
  connect(ui_.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmPreference::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// Every box shows its stored flag, so that the dialog never shows (and "&Ok"
// never stores) a choice the user did not make.
void TfrmPreference::FormShow() {
  const IniFile settings = settings_();
  ui_.trcCmp->setRange(kQualityMin, kQualityMax);
  ui_.spedCmp->setRange(kQualityMin, kQualityMax);
  ui_.edtSnapDirectory->setText(QString::fromStdString(
      settings.readString(keys::kSettings, keys::kSnapOutPutDir, str(app_paths::defaultOutputFolder()))));
  ui_.ckFullSize->setChecked(settings.readInteger(keys::kSettings, keys::kSnapFullSize, 1) == 1);
  ui_.ckSmallSize->setChecked(settings.readInteger(keys::kSettings, keys::kSnapSmallSize, 1) == 1);
  ui_.ckBmp->setChecked(settings.readInteger(keys::kSettings, keys::kSnapBmp, 1) == 1);
  ui_.ckJpg->setChecked(settings.readInteger(keys::kSettings, keys::kSnapJpg, 1) == 1);
  UpdateQualityEnabled();
  ui_.spedCmp->setValue(settings.readInteger(keys::kSettings, keys::kJpgCmp, 30));
  SelectPriority(settings.readInteger(keys::kSettings, keys::kPriority, kNormalPriority));
  ui_.ckCheckUpdates->setChecked(settings.readInteger(keys::kSettings, keys::kCheckUpdates, 1) != 0);
  const auto stored = kDeinterlaceValues.indexOf(
      QString::fromStdString(settings.readString(keys::kSettings, keys::kDeinterlace, "auto")));
  ui_.cmbDeinterlace->setCurrentIndex(stored < 0 ? 0 : int(stored));
}

// Of a pair of boxes one stays checked: the click that would uncheck the last is undone.
void TfrmPreference::KeepOneChecked(QCheckBox* clicked, QCheckBox* other) {
  if (!clicked->isChecked() && !other->isChecked()) clicked->setChecked(true);
}

void TfrmPreference::ckJpgClick() {
  KeepOneChecked(ui_.ckJpg, ui_.ckBmp);
  UpdateQualityEnabled();
}

void TfrmPreference::UpdateQualityEnabled() {
  ui_.spedCmp->setEnabled(ui_.ckJpg->isChecked());
  ui_.trcCmp->setEnabled(ui_.ckJpg->isChecked());
}

// A value outside 0 to 3 selects no item.
void TfrmPreference::SelectPriority(int index) {
  ui_.priorityItems->setExclusive(false);
  for (QAbstractButton* item : ui_.priorityItems->buttons()) item->setChecked(ui_.priorityItems->id(item) == index);
  ui_.priorityItems->setExclusive(true);
}

// Opens the stored folder, which "&Brows" keeps equal to the field.
void TfrmPreference::btnOpenClick() {
  if (ui_.edtSnapDirectory->text().size() > 2) OpenOutputFolder(settings_(), keys::kSnapOutPutDir);
}

void TfrmPreference::btnBrowsClick() {
  const QString folder = prompts().chooseFolder(this);
  if (folder.isEmpty() || folder == ui_.edtSnapDirectory->text()) return;
  settings_().writeString(keys::kSettings, keys::kSnapOutPutDir, str(folder));
  ui_.edtSnapDirectory->setText(folder);
}

// Only the controls change; the file keeps its values until "&Ok".
void TfrmPreference::btnDefaultClick() {
  ui_.edtSnapDirectory->setText(app_paths::defaultOutputFolder());
  ui_.ckBmp->setChecked(true);
  ui_.ckJpg->setChecked(false);
  ui_.ckFullSize->setChecked(true);
  ui_.ckSmallSize->setChecked(false);
  UpdateQualityEnabled();
  SelectPriority(kNormalPriority);
  ui_.spedCmp->setValue(kDefaultQuality);
  ui_.ckCheckUpdates->setChecked(true);
  ui_.cmbDeinterlace->setCurrentIndex(0);
}

void TfrmPreference::btnOkClick() {
  IniFile settings = settings_();
  const QString folder = ui_.edtSnapDirectory->text();
  settings.writeString(keys::kSettings, keys::kSnapOutPutDir,
                       str(folder.isEmpty() ? app_paths::defaultOutputFolder() : folder));
  settings.writeBool(keys::kSettings, keys::kSnapBmp, ui_.ckBmp->isChecked());
  settings.writeBool(keys::kSettings, keys::kSnapJpg, ui_.ckJpg->isChecked());
  settings.writeBool(keys::kSettings, keys::kSnapFullSize, ui_.ckFullSize->isChecked());
  settings.writeBool(keys::kSettings, keys::kSnapSmallSize, ui_.ckSmallSize->isChecked());
  if (ui_.spedCmp->value() > 0) settings.writeInteger(keys::kSettings, keys::kJpgCmp, ui_.spedCmp->value());
  settings.writeInteger(keys::kSettings, keys::kPriority, ui_.priorityItems->checkedId());
  settings.writeBool(keys::kSettings, keys::kCheckUpdates, ui_.ckCheckUpdates->isChecked());
  settings.writeString(keys::kSettings, keys::kDeinterlace, str(kDeinterlaceValues[ui_.cmbDeinterlace->currentIndex()]));
  accept();
}
