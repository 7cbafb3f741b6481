#include "settings/ParameterCombos.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "frontend/IniFile.h"
#include "frontend/NumberTexts.h"
#include "frontend/QualityLevel.h"
#include "settings/FormatCatalogue.h"
#include "ui/ApplicationTitle.h"
#include "ui/Prompts.h"

namespace parameter_combos {

namespace {

struct CatalogueCombo {
  QComboBox* TParameterCombos::*combo;
  const char* paraKey;  // names the combo's list in the format table
};

// The nine catalogue combos in the order they are filled.
constexpr CatalogueCombo kCombos[] = {
    {&TParameterCombos::cmbVideoSize, "paraVideoSize"},       {&TParameterCombos::cmbVideoBitRate, "paraVideoBitRate"},
    {&TParameterCombos::cmbFrameRate, "paraFrameRate"},       {&TParameterCombos::cmbVideoEncoder, "paraVideoEncoder"},
    {&TParameterCombos::cmbAudioBitRate, "paraAudioBitRate"}, {&TParameterCombos::cmbSamplerate, "paraSampleRate"},
    {&TParameterCombos::cmbAudioEncoder, "paraAudioEncoder"}, {&TParameterCombos::cmbChannel, "paraChannel"},
    {&TParameterCombos::cmbVolume, "paraVolume"},
};

const format_catalogue::ParameterList& ListOf(const CatalogueCombo& combo) {
  return *format_catalogue::ParameterListOf(combo.paraKey);
}

std::string str(const QString& text) { return text.toStdString(); }

void EnableGroup(std::initializer_list<QComboBox*> group, bool enabled) {
  for (QComboBox* combo : group) combo->setEnabled(enabled);
}

bool IsWholeNumber(const QString& text, int* value = nullptr) { return IsInteger(str(text), value); }

}  // namespace

void FillFromCatalogue(const TParameterCombos& combos, const IniFile& catalogue, int code) {
  const std::string section = format_catalogue::FormatSection(code);
  for (const CatalogueCombo& entry : kCombos) {
    QComboBox* combo = combos.*entry.combo;
    combo->clear();
    combo->addItems(format_catalogue::SplitItemList(QString::fromStdString(catalogue.readString(section, ListOf(entry).listKey, "null"))));
  }
}

void FinishApplying(const TParameterCombos& c) {
  for (QComboBox* combo : {c.cmbVideoSize, c.cmbVideoEncoder, c.cmbVideoBitRate, c.cmbFrameRate, c.cmbZoom,
                           c.cmbSamplerate, c.cmbAudioBitRate, c.cmbAudioEncoder, c.cmbChannel, c.cmbVolume})
    combo->setMaxVisibleItems(std::max(1, combo->count()));
  // Disabled combos take the palette's grey text.
  EnableGroup({c.cmbVideoSize, c.cmbVideoEncoder, c.cmbVideoBitRate, c.cmbFrameRate, c.cmbZoom},
              c.cmbVideoEncoder->count() > 0);
  EnableGroup({c.cmbSamplerate, c.cmbAudioBitRate, c.cmbAudioEncoder, c.cmbChannel, c.cmbVolume},
              c.cmbAudioEncoder->count() > 0);
}

void SelectCatalogueDefaults(const TParameterCombos& combos, const IniFile& catalogue, int code) {
  const std::string section = format_catalogue::FormatSection(code);
  for (const CatalogueCombo& entry : kCombos)
    (combos.*entry.combo)->setCurrentIndex(catalogue.readInteger(section, ListOf(entry).indexKey, 0));
  combos.cmbZoom->setCurrentIndex(0);
}

int ItemIndex(const QComboBox* combo) {
  const int current = combo->currentIndex();
  if (current >= 0 && combo->itemText(current) == combo->currentText()) return current;
  return combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void SelectOrType(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  combo->setCurrentIndex(index);
  if (index < 0 && combo->isEditable()) combo->setEditText(text);
}

int ZoomIndex(const QString& value) {
  const QStringList values{"full", "lbox", "pan", "center"};
  return int(values.indexOf(value));
}

QString ZoomValue(int index) {
  const QStringList values{"full", "lbox", "pan", "center"};
  return index >= 0 && index < values.size() ? values[index] : QString();
}

bool IsValidRate(const QString& text, RateForm form) {
  if (text == "as source" || IsWholeNumber(text)) return true;
  if (form == RateForm::Decimal) return IsNumber(str(text));
  return form == RateForm::WholeOrQuality && QualityLevel(str(text)).has_value();
}

FrameSizeCheck CheckFrameSize(const QString& text) {
  if (text.toLower().contains("as source")) return {FrameSizeCheck::Accepted, text};
  const int x = int(text.lastIndexOf('x'));
  int width = 0, height = 0;
  // A negative part cannot be corrected into a frame size; it is refused.
  if (x < 0 || !IsWholeNumber(text.left(x), &width) || !IsWholeNumber(text.mid(x + 1), &height) || width < 0 ||
      height < 0)
    return {FrameSizeCheck::Invalid, text};
  if (width % 2 == 0 && height % 2 == 0 && width != 0 && height != 0) return {FrameSizeCheck::Accepted, text};
  auto even = [](int value) { return std::max(2, value / 2 * 2); };
  return {FrameSizeCheck::Corrected, QString("%1x%2").arg(even(width)).arg(even(height))};
}

void ReportInvalid(QWidget* parent, QComboBox* combo, const QString& message) {
  prompts().ask(parent, PromptMessage{applicationTitle(), message});
  if (combo->count() <= 1) return;
  const QSignalBlocker quiet(combo);
  combo->setCurrentIndex(1);
}

void ReportCorrection(QWidget* parent, const QString& corrected) {
  prompts().ask(parent, PromptMessage{QStringLiteral("Input Error!"),
                                      QStringLiteral("Frame Size must be a multiple of 2.\nThe correct value:") + corrected});
}

// A typed field neither completes nor adds the typed text to its items: what
// the user typed is the value.
TTypingFilter::TTypingFilter(QComboBox* combo, Mode mode) : QObject(combo), combo_(combo), mode_(mode) {
  combo->setCompleter(nullptr);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->installEventFilter(this);
}

// Printable characters are checked; editing and navigation keys and shortcuts
// (copy, paste) pass, pasted text being checked as the value changes.
bool TTypingFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != combo_ || event->type() != QEvent::KeyPress) return false;
  const QString typed = static_cast<QKeyEvent*>(event)->text();
  if (typed.size() != 1 || !typed[0].isPrint() || typed[0].isDigit()) return false;
  if (mode_ == Mode::Numerical) {
    prompts().ask(combo_, PromptMessage{applicationTitle(), QStringLiteral("Please enter numerical.")});
    prompts().beep();
    return true;
  }
  const QString text = combo_->currentText();
  if (text.isEmpty() || (typed == "x" && !text.contains('x'))) return false;
  prompts().beep();
  return true;
}

}  // namespace parameter_combos
