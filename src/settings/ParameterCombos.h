#pragma once

#include <QObject>
#include <QString>

class IniFile;
class QComboBox;
class QWidget;

// The ten parameter combos shared by the main window's panel and the settings
// dialog. Not owned; UI thread only.
struct TParameterCombos {
  QComboBox* cmbVideoSize = nullptr;
  QComboBox* cmbVideoEncoder = nullptr;
  QComboBox* cmbVideoBitRate = nullptr;
  QComboBox* cmbFrameRate = nullptr;
  QComboBox* cmbZoom = nullptr;
  QComboBox* cmbSamplerate = nullptr;
  QComboBox* cmbAudioBitRate = nullptr;
  QComboBox* cmbAudioEncoder = nullptr;
  QComboBox* cmbChannel = nullptr;
  QComboBox* cmbVolume = nullptr;
};

namespace parameter_combos {

// Empties the nine catalogue combos and fills each from its list key of the
// format's catalogue section (comma list, "null" or empty for none).
void FillFromCatalogue(const TParameterCombos& combos, const IniFile& catalogue, int code);
// Drop-down counts, then the encoder lists decide which group is enabled.
void FinishApplying(const TParameterCombos& combos);
// Selects the catalogue's default item of each combo (zoom: its first item).
void SelectCatalogueDefaults(const TParameterCombos& combos, const IniFile& catalogue, int code);

// The item whose text is the combo's text, or -1 for a typed text no item has.
int ItemIndex(const QComboBox* combo);
// Selects the item of equal text, or shows the text as typed.
void SelectOrType(QComboBox* combo, const QString& text);
// Zoom index of a stored "paraZoom": full 0, lbox 1, pan 2, center 3, else -1.
int ZoomIndex(const QString& value);
// "paraZoom" of a zoom index; empty for none of the four.
QString ZoomValue(int index);

// What a typed rate may be besides "as source": a whole number, a decimal
// number, or for the video bit rate a whole number or a quality level
// ("Quality 20").
enum class RateForm { Whole, Decimal, WholeOrQuality };
bool IsValidRate(const QString& text, RateForm form);

struct FrameSizeCheck {
  enum Result { Accepted, Invalid, Corrected } result;
  QString text;  // the accepted or corrected text
};
// Validates a typed frame size "WxH": both parts whole numbers above or equal
// to 0, split at the last "x"; odd or zero parts are corrected to even ones.
FrameSizeCheck CheckFrameSize(const QString& text);

// The plain message box of a refused value, then the combo's second item when
// it has more than one. Selecting the item raises no change of the combo.
void ReportInvalid(QWidget* parent, QComboBox* combo, const QString& message);
// The "Input Error!" box naming the corrected frame size.
void ReportCorrection(QWidget* parent, const QString& corrected);

// Key filter of the typed combos: digits and backspace only ("Please
// enter numerical." and a beep), or, for the frame size, digits, backspace
// and one "x" (a beep only).
class TTypingFilter : public QObject {
 public:
  enum class Mode { Numerical, FrameSize };
  TTypingFilter(QComboBox* combo, Mode mode);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* combo_;
  Mode mode_;
};

}  // namespace parameter_combos
