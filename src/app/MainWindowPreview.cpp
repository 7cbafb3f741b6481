// The preview pane: playing the selected job in pan1 with the play, pause and
// stop buttons, the seek bar, volume and mute, and snapshots of the picture
// shown.
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

#include "app/MainWindow.h"
#include "batch/OpenOutputFolder.h"
#include "dvd/DvdPlugin.h"
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

void TfrmMain::ConnectPreview() {
  MediaPlayer = std::make_unique<TMediaPlayer>(&dispatcher_);
  previewVideo_ = new TVideoWidget(ui_.pan1);
  previewVideo_->hide();  // the grey panel shows until something plays
  auto* fill = new QVBoxLayout(ui_.pan1);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(previewVideo_);
  MediaPlayer->OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int width, int height, int& screenWidth,
                                   int& screenHeight) {
    MediaPlayerFileOpen(duration, width, height, screenWidth, screenHeight);
  };
  // A stopped pane keeps its reset time, whatever the player still reports.
  MediaPlayer->OnPosition = [this](TCustomPlayer*, std::int64_t pts) {
    if (!previewStopped_) ui_.lblTime->setText(QString::fromStdString(MicrosecondsText(pts)));
  };
  MediaPlayer->OnState = [this](TCustomPlayer*, TPlayState state) {
    if (state == psEnd) PreviewEnded();
  };
  connect(ui_.imgbtnPlay, &QToolButton::clicked, this, &TfrmMain::imgbtnPlayClick);
  connect(ui_.imgbtnPAuse, &QToolButton::clicked, this, &TfrmMain::imgbtnPAuseClick);
  connect(ui_.imgbtnStop, &QToolButton::clicked, this, &TfrmMain::imgbtnStopClick);
  connect(ui_.imgbtnSnap, &QToolButton::clicked, this, &TfrmMain::imgbtnSnapClick);
  connect(ui_.lvFiles, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (jobs_->SelectedRow() >= 0) imgbtnPlayClick();
  });
  connect(ui_.trcVolume, &QSlider::valueChanged, this, [this](int value) { MediaPlayer->SetAudioVolume(value); });
  connect(ui_.trcVolume, &QSlider::sliderReleased, this,
          [this] { Settings().writeInteger(keys::kSettings, keys::kVolume, ui_.trcVolume->value()); });
  connect(ui_.ckMute, &QCheckBox::clicked, this, [this](bool checked) {
    MediaPlayer->SetMute(checked);
    Settings().writeInteger(keys::kSettings, keys::kMute, checked ? 1 : 0);
  });
  ui_.trcPreview->installEventFilter(this);
}

// The stored volume and mute reach the player at once, not only when the
// slider first moves.
void TfrmMain::ApplyStoredVolume() {
  MediaPlayer->SetAudioVolume(ui_.trcVolume->value());
  MediaPlayer->SetMute(ui_.ckMute->isChecked());
}

void TfrmMain::SetPreviewButtons(bool play, bool pause, bool stop, bool snap) {
  ui_.imgbtnPlay->setEnabled(play);
  ui_.imgbtnPAuse->setEnabled(pause);
  ui_.imgbtnStop->setEnabled(stop);
  ui_.imgbtnSnap->setEnabled(snap);
}

void TfrmMain::imgbtnPlayClick() {
  if (previewPaused_) {
    previewPaused_ = previewStopped_ = false;
    SetPreviewButtons(false, true, true, true);
    if (MediaPlayer->IsPaused()) MediaPlayer->Resume();
    return;
  }
  if (!MediaPlayer->LibrariesLoaded() &&
      !MediaPlayer->LoadLibraries((app_paths::programFolder() + "LibAV").toStdString())) {
    ui_.mmoLog->appendPlainText(QString::fromStdString(MediaPlayer->LastErrorMessage()));
    return;
  }
  if (jobs_->Count() == 0) {
    playAfterAdd_ = true;
    BtnAddDVDClick();
    return;
  }
  if (jobs_->SelectedRow() < 0) jobs_->Select(0);
  const int row = jobs_->SelectedRow();
  if (row >= 0) OpenPreview(row);
}

// What a player opens for the job: a file job's source file; for a DVD job the
// plug-in's short form, after the title with the job's streams and the
// chapters up to toChapter were chosen.
std::string TfrmMain::PlaySource(const TlvFilesRecord& record, int toChapter) {
  if (!record.IsDvdJob()) return record.SourcePath.toStdString();
  DVDSetParam(DvdParam{record.JobIndex, 0, toChapter, record.AudioStreamId, record.SubtitleStreamId, 2, 0});
  return "opendvd:" + DvdDrivePath.toStdString();
}

// Plays the job in the pane, a DVD job's whole title.
void TfrmMain::OpenPreview(int row) {
  SetPreviewButtons(false, false, false, false);
  const TlvFilesRecord& record = jobs_->Record(row);
  const std::string source = PlaySource(record, record.DvdTitle.ChapterCount);
  ApplyStoredVolume();
  MediaPlayer->Deinterlace = deinterlace_choice::PictureChoice(Settings());
  previewVideo_->show();
  if (!MediaPlayer->Open(source, previewVideo_))
    ui_.mmoLog->appendPlainText(QString::fromStdString(MediaPlayer->LastErrorMessage()));
  previewPaused_ = previewStopped_ = false;
  ui_.trcPreview->setEnabled(true);
  SetPreviewButtons(false, true, true, true);
}

void TfrmMain::imgbtnPAuseClick() {
  if (previewPaused_) return;
  MediaPlayer->Pause();
  previewPaused_ = true;
  previewStopped_ = false;
  SetPreviewButtons(true, false, true, true);
}

void TfrmMain::imgbtnStopClick() {
  if (previewStopped_) return;
  MediaPlayer->Stop(true);
  ShowPreviewStopped();
  previewVideo_->Clear();
  previewVideo_->hide();  // the grey panel again
}

// The stopped state of the pane: seek bar at 0 and disabled, only Play usable,
// both times reset.
void TfrmMain::ShowPreviewStopped() {
  {
    const QSignalBlocker quiet(ui_.trcPreview);
    ui_.trcPreview->setValue(0);
  }
  ui_.trcPreview->setEnabled(false);
  previewStopped_ = true;
  previewPaused_ = false;
  SetPreviewButtons(true, false, false, false);
  ui_.lblTime->setText(QStringLiteral("00:00:00"));
  ui_.lblPTS->setText(QStringLiteral("00:00:00"));
}

void TfrmMain::MediaPlayerFileOpen(std::int64_t duration, int width, int height, int& screenWidth,
                                   int& screenHeight) {
  ui_.mmoLog->appendPlainText(QString::fromStdString(MediaPlayer->Probe().FileInfoText()));
  ui_.mmoLog->appendPlainText(
      QString::asprintf("duration: %f, frame size: %dx%d", double(duration) / 1e6, width, height));
  screenWidth = ui_.pan1->width();
  screenHeight = ui_.pan1->height();
  previewDuration_ = duration;
  ui_.lblPTS->setText(durationText(duration));
  ResetSeekBar(*ui_.trcPreview, duration);
}

// At the end the player rests paused at the start; Play opens the job again.
void TfrmMain::PreviewEnded() {
  MediaPlayer->Seek(kSeekAny, false, 0);
  MediaPlayer->Pause();
  ShowPreviewStopped();
}

bool TfrmMain::SeekBarEvent(QEvent* event) {
  SeekOnRelease(*event, *ui_.trcPreview, *MediaPlayer, previewDuration_);
  return false;
}

void TfrmMain::imgbtnSnapClick() {
  const QImage full = ImageOfBitmap(MediaPlayer->CurrentFrame());
  if (full.isNull()) return;
  QImage small(ui_.pan1->size(), QImage::Format_RGB32);
  small.fill(ui_.pan1->palette().window().color());
  {
    QPainter painter(&small);
    painter.drawImage(small.rect(), full);  // stretched over the whole panel
  }
  IniFile settings = Settings();
  WarnUnsavedSnapshots(SaveSnapshots(settings, full, small, this), this);
  OpenOutputFolder(Settings(), keys::kSnapOutPutDir);
}
