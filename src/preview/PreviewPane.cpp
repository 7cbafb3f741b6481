#include "preview/PreviewPane.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

#include "ui/OpenOutputFolder.h"
#include "frontend/DeinterlaceChoice.h"
#include "frontend/FormatHMS.h"
#include "frontend/SettingsKeys.h"
#include "jobs/JobList.h"
#include "media/MediaUtils.h"
#include "player/MediaPlayer.h"
#include "preview/SeekBar.h"
#include "preview/Snapshots.h"
#include "preview/VideoWidget.h"
#include "ui/AppPaths.h"
#include "ui/BitmapImage.h"

namespace keys = settings_keys;

namespace {

QString durationText(std::int64_t microseconds) {
  const std::int64_t seconds = std::llround(double(std::max<std::int64_t>(0, microseconds)) / 1e6);
  return QString::fromStdString(FormatHMS(seconds));
}

}  // namespace

TPreviewPane::TPreviewPane(const PreviewControls& controls, TJobList& jobs, Dispatcher* dispatcher,
                           SourceOf sourceOf, WindowContext context, QObject* parent)
    : QObject(parent), ui_(controls), jobs_(jobs), sourceOf_(std::move(sourceOf)),
      context_(std::move(context)), player_(std::make_unique<TMediaPlayer>(dispatcher)) {
  video_ = new TVideoWidget(ui_.pan1);
  video_->hide();  // the grey panel shows until something plays
  auto* fill = new QVBoxLayout(ui_.pan1);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(video_);
  ConnectPlayer();
  Connect();
}

TPreviewPane::~TPreviewPane() = default;

void TPreviewPane::ConnectPlayer() {
  player_->OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int width, int height, int& screenWidth,
                               int& screenHeight) {
    MediaPlayerFileOpen(duration, width, height, screenWidth, screenHeight);
  };
  // A stopped pane keeps its reset time, whatever the player still reports.
  player_->OnPosition = [this](TCustomPlayer*, std::int64_t pts) {
    if (!stopped_) ui_.lblTime->setText(QString::fromStdString(MicrosecondsText(pts)));
  };
  player_->OnState = [this](TCustomPlayer*, TPlayState state) {
    if (state == psEnd) PreviewEnded();
  };
}

void TPreviewPane::Connect() {
  connect(ui_.imgbtnPlay, &QToolButton::clicked, this, &TPreviewPane::imgbtnPlayClick);
  connect(ui_.imgbtnPAuse, &QToolButton::clicked, this, &TPreviewPane::imgbtnPAuseClick);
  connect(ui_.imgbtnStop, &QToolButton::clicked, this, &TPreviewPane::imgbtnStopClick);
  connect(ui_.imgbtnSnap, &QToolButton::clicked, this, &TPreviewPane::imgbtnSnapClick);
  connect(ui_.lvFiles, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (jobs_.SelectedRow() >= 0) imgbtnPlayClick();
  });
  connect(ui_.trcVolume, &QSlider::valueChanged, this, [this](int value) { player_->SetAudioVolume(value); });
  connect(ui_.trcVolume, &QSlider::sliderReleased, this,
          [this] { context_.settings().writeInteger(keys::kSettings, keys::kVolume, ui_.trcVolume->value()); });
  connect(ui_.ckMute, &QCheckBox::clicked, this, [this](bool checked) {
    player_->SetMute(checked);
    context_.settings().writeInteger(keys::kSettings, keys::kMute, checked ? 1 : 0);
  });
  ui_.trcPreview->installEventFilter(this);
}

// The stored volume and mute reach the player at once, not only when the
// slider first moves.
void TPreviewPane::ApplyStoredVolume() {
  player_->SetAudioVolume(ui_.trcVolume->value());
  player_->SetMute(ui_.ckMute->isChecked());
}

void TPreviewPane::SetPreviewButtons(bool play, bool pause, bool stop, bool snap) {
  ui_.imgbtnPlay->setEnabled(play);
  ui_.imgbtnPAuse->setEnabled(pause);
  ui_.imgbtnStop->setEnabled(stop);
  ui_.imgbtnSnap->setEnabled(snap);
}

void TPreviewPane::imgbtnPlayClick() {
  if (paused_) {
    paused_ = stopped_ = false;
    SetPreviewButtons(false, true, true, true);
    if (player_->IsPaused()) player_->Resume();
    return;
  }
  if (!player_->LibrariesLoaded() && !player_->LoadLibraries((app_paths::programFolder() + "LibAV").toStdString())) {
    ui_.mmoLog->appendPlainText(QString::fromStdString(player_->LastErrorMessage()));
    return;
  }
  if (jobs_.Count() == 0) {
    emit sourceWanted();
    return;
  }
  if (jobs_.SelectedRow() < 0) jobs_.Select(0);
  const int row = jobs_.SelectedRow();
  if (row >= 0) OpenPreview(row);
}

// Plays the job in the pane, a DVD job's whole title.
void TPreviewPane::OpenPreview(int row) {
  arbiter_.Claim(this, [this] { imgbtnStopClick(); });
  SetPreviewButtons(false, false, false, false);
  const TlvFilesRecord& record = jobs_.Record(row);
  const std::string source = sourceOf_(record, record.DvdTitle.ChapterCount);
  ApplyStoredVolume();
  player_->Deinterlace = deinterlace_choice::PictureChoice(context_.settings());
  video_->show();
  if (!player_->Open(source, video_)) ui_.mmoLog->appendPlainText(QString::fromStdString(player_->LastErrorMessage()));
  paused_ = stopped_ = false;
  ui_.trcPreview->setEnabled(true);
  SetPreviewButtons(false, true, true, true);
}

void TPreviewPane::imgbtnPAuseClick() {
  if (paused_) return;
  player_->Pause();
  paused_ = true;
  stopped_ = false;
  SetPreviewButtons(true, false, true, true);
}

void TPreviewPane::imgbtnStopClick() {
  if (stopped_) return;
  arbiter_.Release(this);
  player_->Stop(true);
  ShowPreviewStopped();
  video_->Clear();
  video_->hide();  // the grey panel again
}

// The stopped state of the pane: seek bar at 0 and disabled, only Play usable,
// both times reset.
void TPreviewPane::ShowPreviewStopped() {
  {
    const QSignalBlocker quiet(ui_.trcPreview);
    ui_.trcPreview->setValue(0);
  }
  ui_.trcPreview->setEnabled(false);
  stopped_ = true;
  paused_ = false;
  SetPreviewButtons(true, false, false, false);
  ui_.lblTime->setText(QStringLiteral("00:00:00"));
  ui_.lblPTS->setText(QStringLiteral("00:00:00"));
}

void TPreviewPane::MediaPlayerFileOpen(std::int64_t duration, int width, int height, int& screenWidth,
                                       int& screenHeight) {
  ui_.mmoLog->appendPlainText(QString::fromStdString(player_->Probe().FileInfoText()));
  ui_.mmoLog->appendPlainText(QString::asprintf("duration: %f, frame size: %dx%d", double(duration) / 1e6, width, height));
  screenWidth = ui_.pan1->width();
  screenHeight = ui_.pan1->height();
  duration_ = duration;
  ui_.lblPTS->setText(durationText(duration));
  ResetSeekBar(*ui_.trcPreview, duration);
}

// At the end the player rests paused at the start; Play opens the job again.
void TPreviewPane::PreviewEnded() {
  player_->Seek(kSeekAny, false, 0);
  player_->Pause();
  ShowPreviewStopped();
}

bool TPreviewPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_.trcPreview) SeekOnRelease(*event, *ui_.trcPreview, *player_, duration_);
  return QObject::eventFilter(watched, event);
}

void TPreviewPane::imgbtnSnapClick() {
  const QImage full = ImageOfBitmap(player_->CurrentFrame());
  if (full.isNull()) return;
  QImage small(ui_.pan1->size(), QImage::Format_RGB32);
  small.fill(ui_.pan1->palette().window().color());
  {
    QPainter painter(&small);
    painter.drawImage(small.rect(), full);  // stretched over the whole panel
  }
  IniFile settings = context_.settings();
  WarnUnsavedSnapshots(SaveSnapshots(settings, full, small, context_.window), context_.window);
  OpenOutputFolder(context_.settings(), keys::kSnapOutPutDir);
}
