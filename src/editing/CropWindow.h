#pragma once

#include <QDialog>
#include <QImage>

#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "editing/CropRules.h"
#include "probe/BorderDetection.h"

class Dispatcher;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;
class TMediaPlayer;
class TPreviewPicture;
class TRectTracker;
class TVideoWidget;

// What the crop editor starts from: the job's source and its stored crop.
struct CropJob {
  std::string Source;  // a file or an "opendvd:" title
  QString SourceName;  // shown in the source label
  CropSpins Frame;     // the rectangle stored by the last "Ok"
  QString ZoomMode;
};

// The "Crop" dialog: plays a job's source, shows its current picture fitted
// into the preview image with a rubber-band rectangle over it, and turns the
// rectangle into a crop in source pixels. UI thread only, except the player's
// hook; made afresh for each opening.
class TfrmCrop : public QDialog {
  Q_OBJECT

 public:
  struct Controls {
    TPreviewPicture* imgPreview = nullptr;
    TRectTracker* tracker = nullptr;
    TVideoWidget* pnlPlayer = nullptr;
    QSlider* trcPreview = nullptr;
    QLabel* lblSource = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblLength = nullptr;
    QSpinBox* spnUp = nullptr;
    QSpinBox* spnDown = nullptr;
    QSpinBox* spnLeft = nullptr;
    QSpinBox* spnRight = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnAuto = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QToolButton* imgbtnPlay = nullptr;
    QToolButton* imgbtnPause = nullptr;
    QGroupBox* grpZoom = nullptr;  // hidden: follows the job's zoom mode
    QRadioButton* rbFullScreen = nullptr;
    QRadioButton* rbLetterbox = nullptr;
  };

  TfrmCrop(Dispatcher* dispatcher, const QString& libraryFolder, QWidget* parent);
  ~TfrmCrop() override;

  // Runs the dialog on the job; the choice after "Ok", nothing after "Cancel".
  std::unique_ptr<CropChoice> Edit(const CropJob& job);

  const Controls& controls() const { return ui_; }
  TMediaPlayer& Player() { return *player_; }
  QRect PictureArea() const { return area_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  void BuildLayout();
  QWidget* BuildSpinGroup();
  bool OpenSource();
  void ShowPicture();
  void PlaceTracker(const CropSpins& spins);
  void TrackerMoved();
  void SpinChanged();
  void Reset();
  void StartAutoDetect();
  void AutoDetected();
  void Play();
  void PausePlayer();
  void Ended();
  void DrawLastFrame();
  CropSpins Spins() const;
  void ShowSpins(const CropSpins& spins);

  Controls ui_;
  Dispatcher* dispatcher_;  // not owned
  std::unique_ptr<TMediaPlayer> player_;
  QString libraryFolder_;
  CropJob job_;
  QRect area_;         // the picture area in preview-image pixels
  QSize sourceSize_;   // the source picture in its own pixels
  CropSpins accepted_;  // the last spin values taken
  bool updating_ = false;  // spin changes made by the dialog itself
  std::int64_t duration_ = 0;  // microseconds
  bool paused_ = true, stopped_ = true;  // UI thread; the hook reads copies below
  std::atomic<bool> hookTakes_{false};   // neither paused nor stopped
  std::mutex frameMutex_;
  QImage lastFrame_;  // guarded by frameMutex_; the last hooked picture
  QTimer* drawTimer_ = nullptr;
  QTimer* autoTimer_ = nullptr;
  std::future<BorderMargins> autoDetect_;
  std::unique_ptr<CropChoice> choice_;
};
