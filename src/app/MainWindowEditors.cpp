// The per-job editors opened from the Edit menu and the job popup. Their
// players show the pictures as the conversion will: deinterlaced as the user
// chose in Tools › Preference.
#include <QAction>

#include "app/MainWindow.h"
#include "editing/CropWindow.h"
#include "editing/FileInfoWindow.h"
#include "editing/TrimWindow.h"
#include "editing/WaterMarkWindow.h"
#include "frontend/DeinterlaceChoice.h"
#include "jobs/JobList.h"
#include "player/MediaPlayer.h"
#include "ui/AppPaths.h"

void TfrmMain::ConnectEditors() {
  for (QAction* action : {menus_.actTrim, menus_.popTrim}) connect(action, &QAction::triggered, this, &TfrmMain::TrimClick);
  for (QAction* action : {menus_.actCrop, menus_.popCrop}) connect(action, &QAction::triggered, this, &TfrmMain::CropClick);
  for (QAction* action : {menus_.actEffects, menus_.popEffects})
    connect(action, &QAction::triggered, this, &TfrmMain::EffectsClick);
  for (QAction* action : {menus_.actFileInfo, menus_.popVideoInfo})
    connect(action, &QAction::triggered, this, &TfrmMain::FileInfoClick);
}

// The part of the selected job to convert; a DVD job is trimmed within its
// whole title, as a trimmed DVD job is converted.
void TfrmMain::TrimClick() {
  const int row = jobs_->SelectedRow();
  if (row < 0) return;
  imgbtnStopClick();
  if (!trim_) trim_ = new TfrmTrim(&dispatcher_, app_paths::programFolder() + "LibAV", this);
  trim_->Player().Deinterlace = deinterlace_choice::PictureChoice(Settings());
  TlvFilesRecord& record = jobs_->Record(row);
  const auto choice = trim_->Edit(PlaySource(record, 99), jobs_->Caption(row), record.TrimStart, record.TrimLength);
  if (!choice) return;
  record.TrimStart = choice->trimStart;
  record.TrimLength = choice->trimLength;
  jobs_->SetTrimText(row, QString::fromStdString(TrimRowText(choice->shownLength)));
}

// The borders to cut off the selected job's picture, in source pixels.
void TfrmMain::CropClick() {
  const int row = jobs_->SelectedRow();
  if (row < 0) return;
  imgbtnStopClick();
  crop_.reset();
  crop_ = std::make_unique<TfrmCrop>(&dispatcher_, app_paths::programFolder() + "LibAV", this);
  crop_->Player().Deinterlace = deinterlace_choice::PictureChoice(Settings());
  TlvFilesRecord& record = jobs_->Record(row);
  const CropSpins frame{record.CropFrame[0], record.CropFrame[2], record.CropFrame[1], record.CropFrame[3]};
  const auto choice = crop_->Edit({PlaySource(record, 99), jobs_->Caption(row), frame, record.ZoomMode});
  if (!choice) return;
  const int stored[4] = {choice->Frame.Up, choice->Frame.Left, choice->Frame.Down, choice->Frame.Right};
  std::copy(std::begin(stored), std::end(stored), record.CropFrame);
  record.CropTop = choice->Top;
  record.CropLeft = choice->Left;
  record.CropBottom = choice->Bottom;
  record.CropRight = choice->Right;
  record.ZoomMode = choice->ZoomMode;
}

// The watermarks and colour effects of the selected job.
void TfrmMain::EffectsClick() {
  const int row = jobs_->SelectedRow();
  if (row < 0) return;
  imgbtnStopClick();
  waterMark_.reset();
  waterMark_ = std::make_unique<TfrmWaterMark>(&dispatcher_, app_paths::programFolder() + "LibAV", this);
  waterMark_->Player().Deinterlace = deinterlace_choice::PictureChoice(Settings());
  TlvFilesRecord& record = jobs_->Record(row);
  const WaterMarkPlaces places{record.TextHorizPercent, record.TextVertPercent, record.ImageHorizPercent,
                               record.ImageVertPercent};
  const auto choice = waterMark_->Edit({PlaySource(record, 99), jobs_->Caption(row), EffectSettingsOf(record), places,
                                        record.CropTop, record.CropLeft, record.CropBottom, record.CropRight});
  if (!choice) return;
  StoreEffectSettings(choice->Settings, record);
  record.TextHorizPercent = choice->Places.TextHoriz;
  record.TextVertPercent = choice->Places.TextVert;
  record.ImageHorizPercent = choice->Places.ImageHoriz;
  record.ImageVertPercent = choice->Places.ImageVert;
}

// The streams of the selected job's source; a DVD job shows its title's.
void TfrmMain::FileInfoClick() {
  if (!fileInfo_) fileInfo_ = new TfrmFileInfo(app_paths::programFolder() + "LibAV", this);
  const int row = jobs_->SelectedRow();
  if (jobs_->Count() == 0 || row < 0) {
    fileInfo_->ShowInfo({}, {});
    return;
  }
  fileInfo_->ShowInfo(PlaySource(jobs_->Record(row), 99), jobs_->Caption(row));
}
