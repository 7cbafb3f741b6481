#include "editing/CropWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>
#include <climits>

#include "editing/EditorTexts.h"
#include "frontend/FormatHMS.h"
#include "media/Dispatcher.h"
#include "player/MediaPlayer.h"
#include "preview/PreviewPicture.h"
#include "preview/SeekBar.h"
#include "preview/VideoWidget.h"
#include "probe/BorderDetection.h"
#include "ui/BitmapImage.h"
#include "ui/EditorParts.h"
#include "ui/NamedWidget.h"
#include "ui/Prompts.h"
#include "ui/RectTracker.h"

namespace {

const QSize kPreviewSize(370, 253);
const QColor kPreviewBackground(0xA6, 0xCA, 0xF0);

// Arrow buttons only, step 1, no limits.
QSpinBox* cropSpin(const char* name) {
  auto* spin = named<QSpinBox>(name);
  spin->setRange(INT_MIN / 2, INT_MAX / 2);
  spin->findChild<QLineEdit*>()->setReadOnly(true);
  spin->setFixedWidth(80);
  return spin;
}

// A margin in source pixels shown in preview pixels of the area.
int previewPixels(int margin, int sourceSize, int areaSize) {
  return sourceSize > 0 ? int(std::lround(double(margin) * areaSize / sourceSize)) : 0;
}

}  // namespace

TfrmCrop::TfrmCrop(Dispatcher* dispatcher, const QString& libraryFolder, QWidget* parent)
    : QDialog(parent),
      dispatcher_(dispatcher),
      player_(std::make_unique<TMediaPlayer>(dispatcher)),
      libraryFolder_(libraryFolder) {
  setObjectName(QStringLiteral("frmCrop"));
  setWindowTitle(QStringLiteral("Crop"));
  BuildLayout();
  resize(615, 435);
  drawTimer_ = new QTimer(this);
  drawTimer_->setInterval(100);
  connect(drawTimer_, &QTimer::timeout, this, &TfrmCrop::DrawLastFrame);
  autoTimer_ = new QTimer(this);
  autoTimer_->setInterval(50);
  connect(autoTimer_, &QTimer::timeout, this, &TfrmCrop::AutoDetected);

  player_->OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int, int, int&, int&) {
    duration_ = duration;
    ui_.lblTime->setText(QStringLiteral("0.0"));
    ui_.lblLength->setText(QString::fromStdString(FormatHMS(std::max<std::int64_t>(duration, 0) / 1000000)));
    ResetSeekBar(*ui_.trcPreview, duration);
  };
  player_->OnPosition = [this](TCustomPlayer*, std::int64_t pts) {
    ui_.lblTime->setText(QString::fromStdString(FormatHMS((pts + 500000) / 1000000)));
  };
  player_->OnState = [this](TCustomPlayer*, TPlayState state) {
    if (state == psPause) {
      paused_ = true;
      stopped_ = hookTakes_ = false;
      ui_.imgbtnPlay->setEnabled(true);
      ui_.imgbtnPause->setEnabled(false);
    } else if (state == psEnd) {
      Ended();
    }
  };
  player_->SetOnHook([this](TCustomPlayer*, TBitmap24& bitmap, std::int64_t) {
    if (!hookTakes_) return;
    QImage copy = ImageOfBitmap(bitmap);
    const std::lock_guard lock(frameMutex_);
    lastFrame_ = std::move(copy);
  });

  connect(ui_.tracker, &TRectTracker::MouseMove, this, &TfrmCrop::TrackerMoved);
  for (QSpinBox* spin : {ui_.spnUp, ui_.spnDown, ui_.spnLeft, ui_.spnRight})
    connect(spin, &QSpinBox::valueChanged, this, &TfrmCrop::SpinChanged);
  for (QPushButton* button : {ui_.btnReset, ui_.btnDefault}) connect(button, &QPushButton::clicked, this, &TfrmCrop::Reset);
  connect(ui_.btnAuto, &QPushButton::clicked, this, &TfrmCrop::StartAutoDetect);
  connect(ui_.btnOk, &QPushButton::clicked, this, [this] {
    const QString zoom = ui_.rbFullScreen->isChecked() ? "full" : ui_.rbLetterbox->isChecked() ? "lbox" : job_.ZoomMode;
    choice_ = std::make_unique<CropChoice>(ChooseCrop(Spins(), sourceSize_, area_.size(), zoom));
    accept();
  });
  connect(ui_.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_.imgbtnPlay, &QToolButton::clicked, this, &TfrmCrop::Play);
  connect(ui_.imgbtnPause, &QToolButton::clicked, this, &TfrmCrop::PausePlayer);
  ui_.trcPreview->installEventFilter(this);
}

TfrmCrop::~TfrmCrop() {
  player_->SetOnHook(nullptr);
  player_->Stop(true);
}

void TfrmCrop::BuildLayout() {
  ui_.imgPreview = named<TPreviewPicture>("imgPreview", kPreviewSize, kPreviewBackground, this);
  ui_.tracker = named<TRectTracker>("RectTracker", ui_.imgPreview);
  ui_.pnlPlayer = named<TVideoWidget>("pnlPlayer", this);
  ui_.pnlPlayer->setFixedSize(33, 41);
  ui_.trcPreview = named<QSlider>("trcPreview", Qt::Horizontal, this);
  ui_.lblSource = named<QLabel>("lblSource", this);
  ui_.lblSource->setFixedWidth(290);
  ui_.lblTime = named<QLabel>("lblTime", this);
  ui_.lblLength = named<QLabel>("lblLength", this);
  ui_.imgbtnPlay = SpeedButton("imgbtnPlay", QStyle::SP_MediaPlay, QStringLiteral("play"), this);
  ui_.imgbtnPause = SpeedButton("imgbtnPause", QStyle::SP_MediaPause, QStringLiteral("pause"), this);
  ui_.btnOk = named<QPushButton>("btnOk", QStringLiteral("Ok"), this);
  ui_.btnCancel = named<QPushButton>("btnCancel", QStringLiteral("Cancel"), this);

  auto* speed = new QHBoxLayout;
  speed->addWidget(ui_.imgbtnPlay);
  speed->addWidget(ui_.imgbtnPause);
  speed->addWidget(ui_.lblTime);
  speed->addStretch(1);
  speed->addWidget(ui_.lblLength);
  speed->addWidget(ui_.pnlPlayer);
  auto* left = new QVBoxLayout;
  left->addWidget(ui_.lblSource);
  left->addWidget(ui_.imgPreview);
  left->addWidget(ui_.trcPreview);
  left->addLayout(speed);
  left->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(BuildSpinGroup());
  right->addWidget(ui_.grpZoom);
  right->addStretch(1);
  LayOutEditor(*this, left, right, ui_.btnOk, ui_.btnCancel);
}

// "Crop Size" with the four margins and their buttons; the hidden zoom choice.
QWidget* TfrmCrop::BuildSpinGroup() {
  ui_.spnUp = cropSpin("spnUp");
  ui_.spnDown = cropSpin("spnDown");
  ui_.spnLeft = cropSpin("spnLeft");
  ui_.spnRight = cropSpin("spnRight");
  ui_.btnReset = named<QPushButton>("btnReset", QStringLiteral("Reset"), this);
  ui_.btnDefault = named<QPushButton>("btnDefault", QStringLiteral("&Default"), this);
  ui_.btnAuto = named<QPushButton>("btnAuto", QStringLiteral("&Auto"), this);
  ui_.btnAuto->setToolTip(QStringLiteral("Find the black borders of the picture"));
  auto* group = named<QGroupBox>("grpCropSize", QStringLiteral("Crop Size"), this);
  auto* grid = new QGridLayout(group);
  int row = 0;
  for (auto [caption, spin] : {std::pair{"Up", ui_.spnUp}, {"Down", ui_.spnDown}, {"Left", ui_.spnLeft},
                               {"Right", ui_.spnRight}}) {
    grid->addWidget(new QLabel(QString::fromLatin1(caption), group), row, 0);
    grid->addWidget(spin, row++, 1);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ui_.btnReset);
  buttons->addWidget(ui_.btnDefault);
  grid->addLayout(buttons, row++, 0, 1, 2);
  grid->addWidget(ui_.btnAuto, row, 0, 1, 2);

  ui_.grpZoom = named<QGroupBox>("grpZoom", QStringLiteral("Zoom"), this);
  ui_.rbFullScreen = named<QRadioButton>("rbFullScreen", QStringLiteral("Full screen"), ui_.grpZoom);
  ui_.rbLetterbox = named<QRadioButton>("rbLetterbox", QStringLiteral("Letterbox"), ui_.grpZoom);
  auto* zoom = new QVBoxLayout(ui_.grpZoom);
  zoom->addWidget(ui_.rbFullScreen);
  zoom->addWidget(ui_.rbLetterbox);
  ui_.grpZoom->hide();
  return group;
}

std::unique_ptr<CropChoice> TfrmCrop::Edit(const CropJob& job) {
  job_ = job;
  choice_.reset();
  for (QLabel* label : {ui_.lblSource, ui_.lblTime, ui_.lblLength}) label->clear();
  paused_ = stopped_ = true;
  const int zoom = ZoomChoiceOf(job.ZoomMode);
  ui_.rbFullScreen->setChecked(zoom == 0);
  ui_.rbLetterbox->setChecked(zoom == 1);
  ui_.imgPreview->Clear();
  if (OpenSource()) ShowPicture();
  drawTimer_->start();
  exec();
  return std::move(choice_);
}

bool TfrmCrop::OpenSource() {
  player_->SetHook(true);  // the pictures reach the preview image through the hook
  const bool opened = (player_->LibrariesLoaded() || player_->LoadLibraries(libraryFolder_.toStdString())) &&
                      player_->Open(job_.Source, ui_.pnlPlayer);
  paused_ = stopped_ = !opened;
  hookTakes_ = opened;
  ui_.imgbtnPlay->setEnabled(false);
  ui_.imgbtnPause->setEnabled(opened);
  return opened;
}

// The picture as it is now, the area it covers and the tracker on the job's rectangle.
void TfrmCrop::ShowPicture() {
  TMediaProbe& probe = player_->Probe();
  const int video = probe.FirstVideoStreamIndex();
  const bool hasVideo = video >= 0;
  ui_.tracker->setVisible(hasVideo);
  ui_.tracker->setEnabled(hasVideo);
  for (QSpinBox* spin : {ui_.spnUp, ui_.spnDown, ui_.spnLeft, ui_.spnRight}) spin->setEnabled(hasVideo);
  ui_.btnAuto->setEnabled(hasVideo);
  if (!hasVideo) {
    area_ = {};
    ShowSpins({});
  } else {
    const TVideoStreamInfo info = probe.VideoStreamInfo(video);
    sourceSize_ = QSize(info.Width, info.Height);
    QImage frame = ImageOfBitmap(player_->CurrentFrame());
    if (frame.isNull()) {
      frame = QImage(sourceSize_, QImage::Format_RGB32);
      frame.fill(Qt::black);
    }
    ui_.imgPreview->Draw(frame);
    area_ = CropPictureArea(sourceSize_, kPreviewSize);
    PlaceTracker(job_.Frame);
  }
  ui_.lblSource->setText(ShortenedSourceName(job_.SourceName));
  ui_.lblLength->setText(SecondsText(probe.FileStreamInfo().Duration));
}

void TfrmCrop::PlaceTracker(const CropSpins& spins) {
  ShowSpins(spins);
  ui_.tracker->setGeometry(TrackerForSpins(area_, spins));
  ui_.tracker->update();
}

CropSpins TfrmCrop::Spins() const {
  return {ui_.spnUp->value(), ui_.spnDown->value(), ui_.spnLeft->value(), ui_.spnRight->value()};
}

void TfrmCrop::ShowSpins(const CropSpins& spins) {
  updating_ = true;
  ui_.spnUp->setValue(spins.Up);
  ui_.spnDown->setValue(spins.Down);
  ui_.spnLeft->setValue(spins.Left);
  ui_.spnRight->setValue(spins.Right);
  accepted_ = spins;
  updating_ = false;
}

// The tracker moved under the mouse: kept inside the picture, the spins follow.
void TfrmCrop::TrackerMoved() {
  const QRect bounds = ui_.tracker->geometry();
  const QRect kept = KeepInArea(bounds, area_, ui_.tracker->Zone() == kZoneMove);
  if (kept != bounds) ui_.tracker->setGeometry(kept);
  ShowSpins(SpinsForTracker(area_, kept));
}

void TfrmCrop::SpinChanged() {
  if (updating_) return;
  const CropSpins spins = StepSpins(accepted_, Spins(), ui_.tracker->geometry());
  PlaceTracker(spins);
}

void TfrmCrop::Reset() { PlaceTracker({}); }

// Border detection reads the source on its own, away from the UI thread.
void TfrmCrop::StartAutoDetect() {
  if (autoDetect_.valid()) return;
  ui_.btnAuto->setEnabled(false);
  setCursor(Qt::BusyCursor);
  autoDetect_ = std::async(std::launch::async, [source = job_.Source] { return DetectBorders(source); });
  autoTimer_->start();
}

void TfrmCrop::AutoDetected() {
  if (autoDetect_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
  autoTimer_->stop();
  unsetCursor();
  ui_.btnAuto->setEnabled(true);
  try {
    const BorderMargins margins = autoDetect_.get();
    const int w = area_.width(), h = area_.height();
    CropSpins spins{previewPixels(margins.Top, sourceSize_.height(), h),
                    previewPixels(margins.Bottom, sourceSize_.height(), h),
                    previewPixels(margins.Left, sourceSize_.width(), w),
                    previewPixels(margins.Right, sourceSize_.width(), w)};
    // Never smaller than the tracker allows.
    if (h - spins.Up - spins.Down < kTrackerMinimum) spins.Up = spins.Down = 0;
    if (w - spins.Left - spins.Right < kTrackerMinimum) spins.Left = spins.Right = 0;
    PlaceTracker(spins);
  } catch (const std::exception& e) {
    prompts().ask(this, {QStringLiteral("Crop"), QString::fromUtf8(e.what()), PromptButtons::Ok, PromptIcon::Warning});
  }
}

void TfrmCrop::Play() {
  if (paused_) {
    player_->Resume();
    paused_ = stopped_ = false;
    hookTakes_ = true;
    ui_.imgbtnPlay->setEnabled(false);
    ui_.imgbtnPause->setEnabled(true);
  } else if (stopped_) {
    if (!OpenSource()) ui_.imgbtnPlay->setEnabled(false);
  }
}

void TfrmCrop::PausePlayer() {
  paused_ = true;
  stopped_ = hookTakes_ = false;
  player_->Pause();
  ui_.imgbtnPlay->setEnabled(true);
  ui_.imgbtnPause->setEnabled(false);
}

// At the end the player rests paused at the start.
void TfrmCrop::Ended() {
  ui_.imgbtnPlay->setEnabled(true);
  ui_.imgbtnPause->setEnabled(false);
  stopped_ = true;
  hookTakes_ = false;
  player_->Seek(0, false, 0);
  player_->Pause();
}

void TfrmCrop::DrawLastFrame() {
  QImage frame;
  {
    const std::lock_guard lock(frameMutex_);
    frame.swap(lastFrame_);
  }
  if (!frame.isNull()) ui_.imgPreview->Draw(frame);
}

bool TfrmCrop::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_.trcPreview) SeekOnRelease(*event, *ui_.trcPreview, *player_, duration_);
  return QDialog::eventFilter(watched, event);
}

// Closing stops the player and the timers. A detection still running is
// waited for while the calls it makes to this thread (its log lines) run.
void TfrmCrop::done(int result) {
  drawTimer_->stop();
  autoTimer_->stop();
  hookTakes_ = false;
  stopped_ = true;
  player_->Stop(true);
  if (autoDetect_.valid()) {
    WaitPumping(dispatcher_, [this] { return autoDetect_.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                std::chrono::milliseconds(10));
    unsetCursor();
    ui_.btnAuto->setEnabled(true);
  }
  QDialog::done(result);
}
