#pragma once

#include <QObject>
#include <QString>

#include "settings/ParameterCombos.h"
#include "ui/WindowContext.h"

class QAction;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TFormatPicker;
class TParameterPanel;
class TfrmSettings;

// The controls of the parameter panel and the format picker above it.
struct FormatControls {
  TParameterCombos combos;
  QLineEdit* edt1;  // the chosen format's name
  QToolButton* imgbtn1;
  QListWidget* lst1;
  QPushButton* btnDefault;
  QLineEdit* edDirectory;  // drawn in the picker's colour
  QAction *actSettings, *actOutputSettings;
};

// The output format: the picker, the parameter panel of the chosen format and
// the settings dialog, and the chosen format's code and name. UI thread only.
class TFormatController : public QObject {
  Q_OBJECT

 public:
  TFormatController(const FormatControls& controls, WindowContext context, QObject* parent);

  const QString& CurrentFormatCode() const { return currentFormatCode_; }
  const QString& CurrentFormatName() const { return currentFormatName_; }
  // The stored choice, read when the window first shows.
  void LoadCurrentFormat();
  // Fills the picker and applies the stored format to the panel.
  void BuildFormatPicker();
  void SaveFormatPickerState();
  // Checks the panel's frame size before a conversion.
  void cmbVideoSizeExit();
  void ShowSettingsDialog();

 private:
  void lst1FormatChosen(const QString& name, int code);

  FormatControls ui_;
  WindowContext context_;
  TFormatPicker* picker_ = nullptr;
  TParameterPanel* panel_ = nullptr;
  TfrmSettings* settingsDialog_ = nullptr;  // created on first use, kept for the run
  QString currentFormatCode_, currentFormatName_;
};
