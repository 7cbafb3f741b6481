#pragma once

#include <QDialog>

#include <functional>

#include "frontend/IniFile.h"
#include "settings/ParameterCombos.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TFormatPicker;

// The settings dialog: the per-format values of the parameter panel, edited
// with a picker of its own and written only by "&Ok". Created on first use and
// kept; every showing reloads both files. UI thread only.
class TfrmSettings : public QDialog {
  Q_OBJECT

 public:
  struct Controls {
    QLineEdit* edt1 = nullptr;
    QToolButton* imgbtn1 = nullptr;
    QListWidget* lst1 = nullptr;
    TParameterCombos combos;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
  };

  TfrmSettings(std::function<IniFile()> settings, std::function<IniFile()> catalogue, QWidget* parent);

  const Controls& controls() const { return ui_; }
  // The format shown; after "&Ok" also the one stored as current.
  const QString& FormatName() const { return formatName_; }
  int FormatCode() const { return formatCode_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  void FormShow();
  void ApplyFormat(bool typedFallback);
  void FieldLeft(QComboBox* combo);
  void btnDefaultClick();
  void btnOkClick();
  void StoreChoices(IniFile& settings) const;

  std::function<IniFile()> settings_, catalogue_;
  Controls ui_;
  TFormatPicker* picker_ = nullptr;
  QString formatName_;
  int formatCode_ = 1;
  bool loading_ = false;     // set while showing fills the controls
  bool checkFailed_ = false;  // a field's check failed; the next "&Ok" is ignored
};
