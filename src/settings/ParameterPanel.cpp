#include "settings/ParameterPanel.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QPushButton>

#include "frontend/FormatChoices.h"
#include "frontend/ParameterLimits.h"
#include "settings/FormatCatalogue.h"
#include "settings/FormatPickerDelegate.h"

using namespace parameter_combos;
using namespace parameter_limits;

namespace {

std::string str(const QString& text) { return text.toStdString(); }

// The item text itself is the stored value.
std::optional<std::string> SameText(std::string_view item) { return std::string(item); }

}  // namespace

TParameterPanel::TParameterPanel(const TParameterCombos& combos, QPushButton* btnDefault, QWidget* window, Files files)
    : QObject(window), c_(combos), window_(window), files_(std::move(files)) {
  ConnectCombos();
  connect(btnDefault, &QPushButton::clicked, this, &TParameterPanel::btnDefaultClick);
  for (QComboBox* combo : {c_.cmbVideoEncoder, c_.cmbFrameRate, c_.cmbZoom, c_.cmbAudioEncoder, c_.cmbChannel, c_.cmbVolume})
    combo->setItemDelegate(new TComboItemDelegate(combo));
  new TTypingFilter(c_.cmbVideoSize, TTypingFilter::Mode::FrameSize);
  for (QComboBox* combo : {c_.cmbVideoBitRate, c_.cmbSamplerate, c_.cmbAudioBitRate})
    new TTypingFilter(combo, TTypingFilter::Mode::Numerical);
  c_.cmbVideoSize->installEventFilter(this);
}

// Drop-down lists store on a choice by the user (activated); the typed fields
// on every edit that leaves a valid text.
void TParameterPanel::ConnectCombos() {
  auto onChoice = [this](QComboBox* combo, auto store) {
    connect(combo, &QComboBox::activated, this, [this, store] {
      if (!applying_) store();
    });
  };
  onChoice(c_.cmbVideoEncoder, [this] { StoreIndexed(c_.cmbVideoEncoder, "iVideoEncoder", "paraVideoEncoder", StoredVideoEncoder); });
  onChoice(c_.cmbAudioEncoder, [this] { StoreIndexed(c_.cmbAudioEncoder, "iAudioEncoder", "paraAudioEncoder", StoredAudioEncoder); });
  onChoice(c_.cmbFrameRate, [this] { StoreIndexed(c_.cmbFrameRate, "iFrameRate", "paraFrameRate", SameText); });
  onChoice(c_.cmbChannel, [this] { StoreIndexed(c_.cmbChannel, "iChannel", "paraChannel", StoredChannel); });
  onChoice(c_.cmbVolume, [this] { StoreIndexed(c_.cmbVolume, "iVolume", "paraVolume", StoredVolume); });
  onChoice(c_.cmbZoom, [this] { StoreZoom(); });
  onChoice(c_.cmbVideoSize, [this] { StoreVideoSize(); });
  auto onEdit = [this](QComboBox* combo, auto store) {
    connect(combo, &QComboBox::editTextChanged, this, [this, store] {
      if (!applying_) store();
    });
  };
  onEdit(c_.cmbVideoBitRate, [this] { StoreTyped(c_.cmbVideoBitRate, "iVideoBitRate", "paraVideoBitRate", RateForm::WholeOrQuality, kVideoBitRateInvalid); });
  onEdit(c_.cmbSamplerate, [this] { StoreTyped(c_.cmbSamplerate, "iSampleRate", "paraSampleRate", RateForm::Whole, kSampleRateInvalid); });
  onEdit(c_.cmbAudioBitRate, [this] { StoreTyped(c_.cmbAudioBitRate, "iAudioBitRate", "paraAudioBitRate", RateForm::Decimal, kAudioBitRateInvalid); });
}

void TParameterPanel::ApplyFormat() {
  applying_ = true;
  const IniFile settings = files_.settings();
  const int code = files_.formatCode();
  const std::string section = format_catalogue::FormatSection(code);
  FillFromCatalogue(c_, files_.catalogue(), code);

  // Never stored, the conversion letterboxes, so that is what shows.
  const QString zoom = QString::fromStdString(settings.readString(section, "paraZoom", "lbox"));
  if (zoom.isEmpty() || zoom == "null") {
    c_.cmbZoom->setEnabled(false);
  } else {
    c_.cmbZoom->clear();
    c_.cmbZoom->addItems({"Full Screen", "Letter Box", "Pan and Scan"});
    c_.cmbZoom->setCurrentIndex(ZoomIndex(zoom));
  }

  // What the user never stored shows the catalogue's default choice, which is
  // also what a conversion then uses.
  const int zoomIndex = c_.cmbZoom->currentIndex();
  SelectCatalogueDefaults(c_, files_.catalogue(), code);
  c_.cmbZoom->setCurrentIndex(zoomIndex);
  auto stored = [&](const char* key) { return settings.hasKey(section, key); };
  auto typed = [&](QComboBox* combo, const char* key, const char*) {
    if (stored(key)) SelectOrType(combo, QString::fromStdString(settings.readString(section, key, "")));
  };
  typed(c_.cmbVideoSize, "paraVideoSize", "320x240");
  typed(c_.cmbVideoBitRate, "paraVideoBitRate", "768");
  typed(c_.cmbSamplerate, "paraSampleRate", "44100");
  typed(c_.cmbAudioBitRate, "paraAudioBitRate", "96");
  auto indexed = [&](QComboBox* combo, const char* key) {
    if (stored(key)) combo->setCurrentIndex(settings.readInteger(section, key, 0));
  };
  indexed(c_.cmbFrameRate, "iFrameRate");
  indexed(c_.cmbVideoEncoder, "iVideoEncoder");
  indexed(c_.cmbChannel, "iChannel");
  indexed(c_.cmbVolume, "iVolume");
  indexed(c_.cmbAudioEncoder, "iAudioEncoder");
  FinishApplying(c_);
  applying_ = false;
}

void TParameterPanel::Write(const char* key, const QString& value) {
  files_.settings().writeString(format_catalogue::FormatSection(files_.formatCode()), key, str(value));
}

void TParameterPanel::Write(const char* key, int value) {
  files_.settings().writeInteger(format_catalogue::FormatSection(files_.formatCode()), key, value);
}

void TParameterPanel::StoreIndexed(QComboBox* combo, const char* indexKey, const char* paraKey,
                                   std::optional<std::string> (*value)(std::string_view item)) {
  Write(indexKey, ItemIndex(combo));
  if (const auto stored = value(str(combo->currentText()))) Write(paraKey, QString::fromStdString(*stored));
}

void TParameterPanel::StoreTyped(QComboBox* combo, const char* indexKey, const char* paraKey, RateForm form,
                                 const char* message) {
  if (!IsValidRate(combo->currentText(), form)) {
    ReportInvalid(window_, combo, QString::fromLatin1(message));
    return;
  }
  Write(indexKey, ItemIndex(combo));
  Write(paraKey, combo->currentText());
}

void TParameterPanel::StoreZoom() {
  const QString value = ZoomValue(c_.cmbZoom->currentIndex());
  if (!value.isEmpty()) Write("paraZoom", value);
}

void TParameterPanel::StoreVideoSize() {
  Write("iVideoSize", ItemIndex(c_.cmbVideoSize));
  Write("paraVideoSize", c_.cmbVideoSize->currentText());
}

void TParameterPanel::cmbVideoSizeExit() {
  const FrameSizeCheck check = CheckFrameSize(c_.cmbVideoSize->currentText());
  if (check.result == FrameSizeCheck::Invalid) {
    ReportInvalid(window_, c_.cmbVideoSize, QString::fromLatin1(kFrameSizeInvalid));
    return;
  }
  if (check.result == FrameSizeCheck::Corrected) {
    ReportCorrection(window_, check.text);
    applying_ = true;
    c_.cmbVideoSize->setEditText(check.text);
    applying_ = false;
  }
  StoreVideoSize();
}

// Leaving the frame size field checks it; focus lost to the field's own list,
// to another window or to a message box is no leaving.
bool TParameterPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == c_.cmbVideoSize && event->type() == QEvent::FocusOut && !applying_) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) cmbVideoSizeExit();
  }
  return false;
}

// The catalogue's default choices, then each stored as its own handler would.
// A group disabled for the format has nothing to store and is skipped, so an
// audio format raises no frame size or video bit rate message.
void TParameterPanel::btnDefaultClick() {
  applying_ = true;
  SelectCatalogueDefaults(c_, files_.catalogue(), files_.formatCode());
  applying_ = false;
  if (c_.cmbVideoEncoder->isEnabled()) {
    StoreIndexed(c_.cmbVideoEncoder, "iVideoEncoder", "paraVideoEncoder", StoredVideoEncoder);
    cmbVideoSizeExit();
    StoreIndexed(c_.cmbFrameRate, "iFrameRate", "paraFrameRate", SameText);
    StoreTyped(c_.cmbVideoBitRate, "iVideoBitRate", "paraVideoBitRate", RateForm::WholeOrQuality, kVideoBitRateInvalid);
    StoreZoom();
  }
  if (c_.cmbAudioEncoder->isEnabled()) {
    StoreIndexed(c_.cmbAudioEncoder, "iAudioEncoder", "paraAudioEncoder", StoredAudioEncoder);
    StoreTyped(c_.cmbAudioBitRate, "iAudioBitRate", "paraAudioBitRate", RateForm::Decimal, kAudioBitRateInvalid);
    StoreTyped(c_.cmbSamplerate, "iSampleRate", "paraSampleRate", RateForm::Whole, kSampleRateInvalid);
    StoreIndexed(c_.cmbChannel, "iChannel", "paraChannel", StoredChannel);
    StoreIndexed(c_.cmbVolume, "iVolume", "paraVolume", StoredVolume);
  }
}
