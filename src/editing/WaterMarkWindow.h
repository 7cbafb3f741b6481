#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

#include "editing/EffectSettings.h"
#include "editing/WaterMarkPreview.h"

class Dispatcher;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;
class TMediaPlayer;
class TVideoWidget;

// What the effects dialog starts from and what its "Ok" gives back.
struct WaterMarkJob {
  std::string Source;  // a file or an "opendvd:" title
  QString SourceName;  // shown in the caption
  EffectSettings Settings;
  WaterMarkPlaces Places;
  int CropTop = 0, CropLeft = 0, CropBottom = 0, CropRight = 0;
};

// The "Water Mark" dialog: a text and a picture watermark and four colour
// effects for a job, drawn live into the job's pictures as they play. UI
// thread only, except the player's hook; made afresh for each opening.
class TfrmWaterMark : public QDialog {
  Q_OBJECT

 public:
  struct Controls {
    TVideoWidget* pnlPreview = nullptr;
    QSlider* trcPreview = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblDuration = nullptr;
    QToolButton* imgbtnPlay = nullptr;
    QToolButton* imgbtnPause = nullptr;
    // Text watermark.
    QLineEdit* edtFont = nullptr;
    QFontComboBox* cmbFontName = nullptr;
    QComboBox* cmbFontSize = nullptr;
    QComboBox* cmbFontColor = nullptr;
    QCheckBox* chkBold = nullptr;
    QCheckBox* chkItalic = nullptr;
    QCheckBox* chkUnderline = nullptr;
    QCheckBox* chkStrikeOut = nullptr;
    QPushButton* btnClearText = nullptr;
    QSlider* trcTextHoriz = nullptr;
    QSlider* trcTextVert = nullptr;
    QLabel* lblTextHoriz = nullptr;
    QLabel* lblTextVert = nullptr;
    // Picture watermark.
    QLineEdit* edtImage = nullptr;
    QPushButton* btnBrows = nullptr;
    QPushButton* btnClearImage = nullptr;
    QSlider* trcImageHoriz = nullptr;
    QSlider* trcImageVert = nullptr;
    QLabel* lblImageHoriz = nullptr;
    QLabel* lblImageVert = nullptr;
    QSlider* trcAlpha = nullptr;
    QLabel* lblAlpha = nullptr;
    QRadioButton* rbStyle1 = nullptr;
    QRadioButton* rbStyle2 = nullptr;
    // Colour effects.
    QSlider* trcBrightness = nullptr;
    QSlider* trcContrast = nullptr;
    QSlider* trcSaturation = nullptr;
    QSlider* trcExposure = nullptr;
    QSpinBox* spnBrightness = nullptr;
    QSpinBox* spnContrast = nullptr;
    QSpinBox* spnSaturation = nullptr;
    QSpinBox* spnExposure = nullptr;
    QCheckBox* chkProcessText = nullptr;
    QCheckBox* chkProcessImage = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
  };

  TfrmWaterMark(Dispatcher* dispatcher, const QString& libraryFolder, QWidget* parent);
  ~TfrmWaterMark() override;

  // Runs the dialog on the job; the new settings after "Ok", nothing after "Cancel".
  std::unique_ptr<WaterMarkJob> Edit(const WaterMarkJob& job);

  const Controls& controls() const { return ui_; }
  TMediaPlayer& Player() { return *player_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  static constexpr int kLargestShownSize = 16;  // points: the text box shows larger texts at this size

  void BuildLayout();
  QWidget* BuildTextPage();
  QWidget* BuildImagePage();
  QWidget* BuildEffectPage();
  void ConnectControls();
  void LoadJob(const WaterMarkJob& job);
  void LoadText(const EffectSettings& settings);
  bool OpenSource();
  void FileOpened(std::int64_t duration, QSize frame);
  void TextChanged();
  void ClearText();
  void BrowseImage();
  void ClearImage();
  void ResetEffects();
  void EnablePlaces();
  // The controls as settings, handed to the hook whenever one changes.
  EffectSettings SettingsOfControls() const;
  WaterMarkPlaces PlacesOfControls() const;
  void SettingsChanged();
  // Shows a paused picture again with the settings as they are now.
  void RedrawPausedPicture();

  Controls ui_;
  std::unique_ptr<TMediaPlayer> player_;
  QString libraryFolder_;
  WaterMarkJob job_;
  WaterMarkPreview preview_;
  QSize openedFrame_;          // the source picture's size as opened
  std::int64_t duration_ = 0;  // microseconds
  bool loading_ = false;       // controls being filled from the job
  QTimer* redraw_ = nullptr;   // collects changes made while paused into one redraw
  std::unique_ptr<WaterMarkJob> choice_;
};
