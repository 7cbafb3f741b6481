// The per-job editors opened from the Edit menu and the job popup.
#include <QAction>

#include "app/AppPaths.h"
#include "app/MainWindow.h"
#include "editing/TrimWindow.h"
#include "frontend/JobList.h"

void TfrmMain::ConnectEditors() {
  for (QAction* action : {menus_.actTrim, menus_.popTrim}) connect(action, &QAction::triggered, this, &TfrmMain::TrimClick);
}

// The part of the selected job to convert; a DVD job is trimmed within its
// whole title, as a trimmed DVD job is converted.
void TfrmMain::TrimClick() {
  const int row = jobs_->SelectedRow();
  if (row < 0) return;
  imgbtnStopClick();
  if (!trim_) trim_ = new TfrmTrim(&dispatcher_, app_paths::programFolder() + "LibAV", this);
  TlvFilesRecord& record = jobs_->Record(row);
  const auto choice = trim_->Edit(PlaySource(record, 99), jobs_->Caption(row), record.TrimStart, record.TrimLength);
  if (!choice) return;
  record.TrimStart = choice->trimStart;
  record.TrimLength = choice->trimLength;
  jobs_->SetTrimText(row, QString::fromStdString(TrimRowText(choice->shownLength)));
}
