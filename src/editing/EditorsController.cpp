#include "editing/EditorsController.h"

#include <QAction>

#include "editing/CropWindow.h"
#include "editing/EffectSettings.h"
#include "editing/FileInfoWindow.h"
#include "editing/TrimWindow.h"
#include "editing/WaterMarkWindow.h"
#include "frontend/DeinterlaceChoice.h"
#include "jobs/JobList.h"
#include "player/MediaPlayer.h"
#include "preview/PlayerArbiter.h"
#include "ui/AppPaths.h"

TEditorsController::TEditorsController(const EditorActions& actions, TJobList& jobs, Dispatcher* dispatcher,
                                       PlayerArbiter& arbiter, SourceOf sourceOf, WindowContext context,
                                       QObject* parent)
    : QObject(parent), jobs_(jobs), dispatcher_(dispatcher), arbiter_(arbiter), sourceOf_(std::move(sourceOf)),
      context_(std::move(context)) {
  for (QAction* action : {actions.actTrim, actions.popTrim})
    connect(action, &QAction::triggered, this, &TEditorsController::TrimClick);
  for (QAction* action : {actions.actCrop, actions.popCrop})
    connect(action, &QAction::triggered, this, &TEditorsController::CropClick);
  for (QAction* action : {actions.actEffects, actions.popEffects})
    connect(action, &QAction::triggered, this, &TEditorsController::EffectsClick);
  for (QAction* action : {actions.actFileInfo, actions.popVideoInfo})
    connect(action, &QAction::triggered, this, &TEditorsController::FileInfoClick);
}

TEditorsController::~TEditorsController() = default;

// A new editor of that kind in place of the last one, its player
// deinterlacing as the conversion will.
template <typename Editor>
Editor& TEditorsController::Fresh(std::unique_ptr<Editor>& editor) {
  editor.reset();
  editor = std::make_unique<Editor>(dispatcher_, app_paths::programFolder() + "LibAV", context_.window);
  editor->Player().Deinterlace = deinterlace_choice::PictureChoice(context_.settings());
  return *editor;
}

int TEditorsController::ClaimForSelected() {
  const int row = jobs_.SelectedRow();
  if (row >= 0) arbiter_.Claim(this);
  return row;
}

// The part of the selected job to convert; a DVD job is trimmed within its
// whole title, as a trimmed DVD job is converted.
void TEditorsController::TrimClick() {
  const int row = ClaimForSelected();
  if (row < 0) return;
  if (!trim_) trim_ = new TfrmTrim(dispatcher_, app_paths::programFolder() + "LibAV", context_.window);
  trim_->Player().Deinterlace = deinterlace_choice::PictureChoice(context_.settings());
  TlvFilesRecord& record = jobs_.Record(row);
  const auto choice = trim_->Edit(sourceOf_(record), jobs_.Caption(row), record.TrimStart, record.TrimLength);
  arbiter_.Release(this);
  if (!choice) return;
  record.TrimStart = choice->trimStart;
  record.TrimLength = choice->trimLength;
  jobs_.SetTrimText(row, QString::fromStdString(TrimRowText(choice->shownLength)));
}

// The borders to cut off the selected job's picture, in source pixels.
void TEditorsController::CropClick() {
  const int row = ClaimForSelected();
  if (row < 0) return;
  TlvFilesRecord& record = jobs_.Record(row);
  const CropSpins frame{record.CropFrame[0], record.CropFrame[2], record.CropFrame[1], record.CropFrame[3]};
  const auto choice = Fresh(crop_).Edit({sourceOf_(record), jobs_.Caption(row), frame, record.ZoomMode});
  arbiter_.Release(this);
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
void TEditorsController::EffectsClick() {
  const int row = ClaimForSelected();
  if (row < 0) return;
  TlvFilesRecord& record = jobs_.Record(row);
  const WaterMarkPlaces places{record.TextHorizPercent, record.TextVertPercent, record.ImageHorizPercent,
                               record.ImageVertPercent};
  const auto choice = Fresh(waterMark_).Edit({sourceOf_(record), jobs_.Caption(row), EffectSettingsOf(record), places,
                                        record.CropTop, record.CropLeft, record.CropBottom, record.CropRight});
  arbiter_.Release(this);
  if (!choice) return;
  StoreEffectSettings(choice->Settings, record);
  record.TextHorizPercent = choice->Places.TextHoriz;
  record.TextVertPercent = choice->Places.TextVert;
  record.ImageHorizPercent = choice->Places.ImageHoriz;
  record.ImageVertPercent = choice->Places.ImageVert;
}

// The streams of the selected job's source; a DVD job shows its title's.
void TEditorsController::FileInfoClick() {
  if (!fileInfo_) fileInfo_ = new TfrmFileInfo(app_paths::programFolder() + "LibAV", context_.window);
  const int row = jobs_.SelectedRow();
  if (jobs_.Count() == 0 || row < 0) {
    fileInfo_->ShowInfo({}, {});
    return;
  }
  fileInfo_->ShowInfo(sourceOf_(jobs_.Record(row)), jobs_.Caption(row));
}
