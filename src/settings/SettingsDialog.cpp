#include "settings/SettingsDialog.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <utility>

#include "frontend/FormatChoices.h"
#include "frontend/ParameterLimits.h"
#include "frontend/SettingsKeys.h"
#include "settings/FormatCatalogue.h"
#include "settings/FormatPicker.h"
#include "settings/FormatPickerDelegate.h"

using namespace parameter_combos;
using namespace parameter_limits;
namespace keys = settings_keys;

namespace {

std::string str(const QString& text) { return text.toStdString(); }
QString qstr(const std::string& text) { return QString::fromStdString(text); }

struct IndexedChoice {
  QComboBox* TParameterCombos::*combo;
  const char* indexKey;
  const char* paraKey;        // typed value shown when the index is below 0
  const char* paraDefault;
};

// The nine index keys in the order "&Ok" writes them.
constexpr IndexedChoice kChoices[] = {
    {&TParameterCombos::cmbVideoSize, "iVideoSize", "paraVideoSize", "320x240"},
    {&TParameterCombos::cmbVideoBitRate, "iVideoBitRate", "paraVideoBitRate", "800"},
    {&TParameterCombos::cmbVideoEncoder, "iVideoEncoder", nullptr, nullptr},
    {&TParameterCombos::cmbFrameRate, "iFrameRate", "paraFrameRate", "25"},
    {&TParameterCombos::cmbSamplerate, "iSampleRate", "paraSampleRate", "44100"},
    {&TParameterCombos::cmbAudioBitRate, "iAudioBitRate", "paraAudioBitRate", "96"},
    {&TParameterCombos::cmbChannel, "iChannel", nullptr, nullptr},
    {&TParameterCombos::cmbVolume, "iVolume", nullptr, nullptr},
    {&TParameterCombos::cmbAudioEncoder, "iAudioEncoder", nullptr, nullptr},
};

}  // namespace

TfrmSettings::TfrmSettings(std::function<IniFile()> settings, std::function<IniFile()> catalogue, QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), catalogue_(std::move(catalogue)) {
  setObjectName(QStringLiteral("frmSettings"));
  setWindowTitle(QStringLiteral("Settings"));
  BuildLayout();
  picker_ = new TFormatPicker(ui_.edt1, ui_.imgbtn1, ui_.lst1, TPickerOpening{false, 247, false}, this);
  picker_->nameToOpen = [this] { return formatName_; };
  connect(picker_, &TFormatPicker::formatChosen, this, [this](const QString& name, int code) {
    formatName_ = name;
    formatCode_ = code;
    ui_.edt1->setText(name);
  });
  connect(ui_.edt1, &QLineEdit::textChanged, this, [this] {
    if (!loading_) ApplyFormat(false);
  });
  const TParameterCombos& c = ui_.combos;
  for (QComboBox* combo : {c.cmbVideoEncoder, c.cmbFrameRate, c.cmbZoom, c.cmbAudioEncoder, c.cmbChannel, c.cmbVolume})
    combo->setItemDelegate(new TComboItemDelegate(combo));
  c.cmbZoom->addItems({"Full screen", "Letterbox", "Pan and Scan"});
  new TTypingFilter(c.cmbVideoSize, TTypingFilter::Mode::FrameSize);
  for (QComboBox* combo : {c.cmbVideoBitRate, c.cmbSamplerate, c.cmbAudioBitRate})
    new TTypingFilter(combo, TTypingFilter::Mode::Numerical);
  for (QComboBox* combo : {c.cmbVideoSize, c.cmbVideoBitRate, c.cmbSamplerate, c.cmbAudioBitRate})
    combo->installEventFilter(this);
  connect(ui_.btnDefault, &QPushButton::clicked, this, &TfrmSettings::btnDefaultClick);
  connect(ui_.btnOk, &QPushButton::clicked, this, &TfrmSettings::btnOkClick);
  connect(ui_.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSettings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TfrmSettings::FormShow() {
  const IniFile settings = settings_();
  formatCode_ = settings.readInteger(keys::kSettings, keys::kFormatCode, 1);
  formatName_ = qstr(settings.readString(keys::kSettings, keys::kFormatName, keys::kFormatNameDefault));
  loading_ = true;
  picker_->Build(settings, formatName_);
  loading_ = false;
  checkFailed_ = false;
  ApplyFormat(true);
}

// Lists from the catalogue, choices by their index keys; when showing, an index
// below 0 shows the stored value as typed text. A choice the user never stored
// shows the catalogue's default, which is what a conversion uses (as the
// parameter panel shows it), so Ok stores nothing the user did not see.
void TfrmSettings::ApplyFormat(bool typedFallback) {
  const IniFile settings = settings_();
  const std::string section = format_catalogue::FormatSection(formatCode_);
  FillFromCatalogue(ui_.combos, catalogue_(), formatCode_);
  SelectCatalogueDefaults(ui_.combos, catalogue_(), formatCode_);
  for (const IndexedChoice& choice : kChoices) {
    QComboBox* combo = ui_.combos.*choice.combo;
    auto typed = [&] { SelectOrType(combo, qstr(settings.readString(section, choice.paraKey, choice.paraDefault))); };
    if (!settings.hasKey(section, choice.indexKey)) {
      if (choice.paraKey && settings.hasKey(section, choice.paraKey)) typed();
      continue;
    }
    const int index = settings.readInteger(section, choice.indexKey, 0);
    if (typedFallback && index < 0 && choice.paraKey)
      typed();
    else
      combo->setCurrentIndex(index);
  }
  ui_.combos.cmbZoom->setCurrentIndex(ZoomIndex(qstr(settings.readString(section, "paraZoom", "lbox"))));
  FinishApplying(ui_.combos);
}

// A failed check restores the field's second item (or the corrected size) and
// gives the field the focus back.
bool TfrmSettings::eventFilter(QObject* watched, QEvent* event) {
  auto* combo = qobject_cast<QComboBox*>(watched);
  if (combo && event->type() == QEvent::FocusIn) checkFailed_ = false;
  if (combo && event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) FieldLeft(combo);
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmSettings::FieldLeft(QComboBox* combo) {
  const TParameterCombos& c = ui_.combos;
  bool failed = false;
  if (combo == c.cmbVideoSize) {
    const FrameSizeCheck check = CheckFrameSize(combo->currentText());
    failed = check.result != FrameSizeCheck::Accepted;
    if (check.result == FrameSizeCheck::Invalid)
      ReportInvalid(this, combo, QString::fromLatin1(kFrameSizeInvalid));
    if (check.result == FrameSizeCheck::Corrected) {
      ReportCorrection(this, check.text);
      combo->setEditText(check.text);
    }
  } else {
    struct Rule {
      QComboBox* combo;
      RateForm form;
      const char* message;
    };
    for (const Rule& rule : {Rule{c.cmbVideoBitRate, RateForm::WholeOrQuality, kVideoBitRateInvalid},
                             Rule{c.cmbSamplerate, RateForm::Whole, kSampleRateInvalid},
                             Rule{c.cmbAudioBitRate, RateForm::Decimal, kAudioBitRateInvalid}})
      if (rule.combo == combo && !IsValidRate(combo->currentText(), rule.form)) {
        ReportInvalid(this, combo, QString::fromLatin1(rule.message));
        failed = true;
      }
  }
  if (!failed) return;
  checkFailed_ = true;
  QTimer::singleShot(0, combo, [combo] { combo->setFocus(); });
}

void TfrmSettings::btnDefaultClick() { SelectCatalogueDefaults(ui_.combos, catalogue_(), formatCode_); }

void TfrmSettings::btnOkClick() {
  if (std::exchange(checkFailed_, false)) return;  // the press that left a field failed its check
  IniFile settings = settings_();
  StoreChoices(settings);
  picker_->SaveExpandState(settings);
  settings.writeString(keys::kSettings, keys::kFormatName, str(formatName_));
  settings.writeString(keys::kSettings, keys::kFormatCode, std::to_string(formatCode_));
  accept();
}

void TfrmSettings::StoreChoices(IniFile& settings) const {
  const std::string section = format_catalogue::FormatSection(formatCode_);
  const TParameterCombos& c = ui_.combos;
  auto text = [&](const char* key, QComboBox* combo) { settings.writeString(section, key, str(combo->currentText())); };
  auto mapped = [&](const char* key, QComboBox* combo, std::optional<std::string> (*map)(std::string_view)) {
    if (const auto value = map(str(combo->currentText()))) settings.writeString(section, key, *value);
  };
  settings.writeString(section, "Description", str(formatName_));
  for (const IndexedChoice& choice : kChoices) settings.writeInteger(section, choice.indexKey, ItemIndex(c.*choice.combo));
  text("paraVideoSize", c.cmbVideoSize);
  text("paraVideoBitRate", c.cmbVideoBitRate);
  text("paraFrameRate", c.cmbFrameRate);
  if (const QString zoom = ZoomValue(c.cmbZoom->currentIndex()); !zoom.isEmpty()) settings.writeString(section, "paraZoom", str(zoom));
  mapped("paraVideoEncoder", c.cmbVideoEncoder, StoredVideoEncoder);
  text("paraSampleRate", c.cmbSamplerate);
  text("paraAudioBitRate", c.cmbAudioBitRate);
  mapped("paraChannel", c.cmbChannel, StoredChannel);
  mapped("paraVolume", c.cmbVolume, StoredVolume);
  mapped("paraAudioEncoder", c.cmbAudioEncoder, StoredAudioEncoder);
}
