#pragma once

class QCheckBox;
class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class TElidedLabel;
class TPreviewPicture;
class TTipsBanner;

// The controls of the progress window, named as in the designer.
struct ProgressControls {
  TTipsBanner* lblTips = nullptr;
  TPreviewPicture* imgPreview = nullptr;  // 388 x 199
  QToolButton* imgbtnSnap = nullptr;
  QLabel* lblTime = nullptr;
  QLabel* lblLength = nullptr;
  QLabel* lblSize = nullptr;
  QLabel* lblProgress = nullptr;
  TElidedLabel* lblOutput = nullptr;  // fixed width 283
  QLabel* lblRemainingCaption = nullptr;
  QLabel* lblRemaining = nullptr;
  QProgressBar* progbarFile = nullptr;
  QCheckBox* ckShutDown = nullptr;
  QCheckBox* ckOpen = nullptr;
  QPushButton* btnPause = nullptr;
  QPushButton* btnResume = nullptr;
  QPushButton* btnCancel = nullptr;
  QTimer* Timer1 = nullptr;  // 100 ms preview repaint, owned by the window
};

// Creates the controls with their captions inside dialog and lays them out;
// the dialog's widget tree owns them. Timer1 is left to the window.
ProgressControls BuildProgressControls(QDialog* dialog);
