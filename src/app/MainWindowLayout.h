#pragma once

#include "settings/ParameterCombos.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QToolButton;
class QTreeWidget;

// The controls of the main window, named as the rest of the program knows them.
// Created and owned by the window's widget tree; the ten parameter combos come
// from TParameterCombos.
struct MainControls : TParameterCombos {
  // Tool button row.
  QPushButton* btnAdd = nullptr;
  QPushButton* btnRemove = nullptr;
  QPushButton* btnClear = nullptr;
  QPushButton* BtnEdit = nullptr;
  QPushButton* btnStart = nullptr;
  QPushButton* btnExit = nullptr;
  QPushButton* BtnAddDVD = nullptr;
  QPushButton* btnDVDStart = nullptr;
  QPushButton* btnPause = nullptr;   // hidden
  QPushButton* btnResume = nullptr;  // hidden
  QPushButton* btnStop = nullptr;    // hidden

  // DVD stream and chapter choice above the job list.
  QGroupBox* grpDvd = nullptr;
  QComboBox* cmbAudioLanguage = nullptr;
  QComboBox* cmbSubtitle = nullptr;
  QLineEdit* edtFrom = nullptr;
  QLineEdit* edtTo = nullptr;
  QToolButton* btnFromUp = nullptr;
  QToolButton* btnFromDown = nullptr;
  QToolButton* btnToUp = nullptr;
  QToolButton* btnToDown = nullptr;

  QTreeWidget* lvFiles = nullptr;

  // Preview pane.
  QFrame* pan1 = nullptr;
  QSlider* trcPreview = nullptr;
  QLabel* lblTime = nullptr;
  QLabel* lblPTS = nullptr;
  QToolButton* imgbtnPlay = nullptr;
  QToolButton* imgbtnPAuse = nullptr;
  QToolButton* imgbtnStop = nullptr;
  QToolButton* imgbtnSnap = nullptr;
  QCheckBox* ckMute = nullptr;
  QSlider* trcVolume = nullptr;

  // Parameter panel.
  QLineEdit* edt1 = nullptr;
  QToolButton* imgbtn1 = nullptr;
  QListWidget* lst1 = nullptr;
  QPushButton* btnDefault = nullptr;

  // Output folder row.
  QLineEdit* edDirectory = nullptr;
  QPushButton* btnBrows = nullptr;
  QPushButton* btnOpen = nullptr;
  QPushButton* btnStartBelow = nullptr;

  // Kept hidden: the legacy format combo and the log memo.
  QComboBox* cbOutputFormat = nullptr;
  QPlainTextEdit* mmoLog = nullptr;
};

// Creates the controls and lays them out in window's central widget.
void BuildMainLayout(QMainWindow* window, MainControls& controls);
