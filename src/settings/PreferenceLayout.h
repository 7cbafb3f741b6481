#pragma once

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

// The controls of the preferences dialog, named as in the designer.
struct PreferenceControls {
  QLineEdit* edtSnapDirectory = nullptr;  // read-only
  QPushButton* btnOpen = nullptr;
  QPushButton* btnBrows = nullptr;
  QCheckBox* ckSmallSize = nullptr;
  QCheckBox* ckFullSize = nullptr;
  QCheckBox* ckBmp = nullptr;
  QCheckBox* ckJpg = nullptr;
  QSpinBox* spedCmp = nullptr;
  QSlider* trcCmp = nullptr;
  QGroupBox* rdGrpPriority = nullptr;
  QButtonGroup* priorityItems = nullptr;  // "Idle", "Normal", "Lower", "Lowest" with ids 0 to 3
  QComboBox* cmbDeinterlace = nullptr;  // "Auto", "Always", "Never"
  QCheckBox* ckCheckUpdates = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnDefault = nullptr;
};

// Creates the controls with their captions inside dialog and lays them out;
// the dialog's widget tree owns them.
PreferenceControls BuildPreferenceControls(QDialog* dialog);
