// Converting the checked file jobs: building one engine task per job, the
// progress window, the engine's progress, preview and task-end events, and
// what happens after the batch.
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/TaskHelpers.h"
#include "app/UpdateNotice.h"
#include "batch/BatchNotification.h"
#include "batch/OpenOutputFolder.h"
#include "batch/PowerOff.h"
#include "batch/ProgressTexts.h"
#include "batch/ProgressWindow.h"
#include "batch/ProgressWindowLayout.h"
#include "engine/face/MediaEngine.h"
#include "frontend/DeinterlaceChoice.h"
#include "frontend/DestinationPath.h"
#include "frontend/FileJob.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/SettingsKeys.h"
#include "frontend/TaskBuilder.h"
#include "jobs/FileJobAdding.h"
#include "jobs/JobList.h"
#include "ui/BitmapImage.h"
#include "ui/OutputDirectory.h"
#include "ui/Prompts.h"
#include "ui/TipsBanner.h"

namespace keys = settings_keys;

namespace {

void setPriority(TMediaEngine& engine, int priority) {
  constexpr TThreadPriority kPriorities[] = {TThreadPriority::Idle, TThreadPriority::Normal, TThreadPriority::Lower,
                                             TThreadPriority::Lowest};
  if (priority >= 0 && priority < 4) engine.SetThreadPriority(kPriorities[priority]);
}

}  // namespace

void TfrmMain::ConnectConversion() {
  connect(menus_.actStart, &QAction::triggered, this, &TfrmMain::btnStartClick);
  connect(menus_.popStart, &QAction::triggered, this, &TfrmMain::btnStartClick);
  connect(ui_.btnStart, &QPushButton::clicked, this, &TfrmMain::btnStartClick);
  connect(ui_.btnPause, &QPushButton::clicked, this, [this] { progress_ ? progress_->btnPauseClick() : void(); });
  connect(ui_.btnResume, &QPushButton::clicked, this, [this] { progress_ ? progress_->btnResumeClick() : void(); });
  connect(ui_.btnStop, &QPushButton::clicked, this, &TfrmMain::btnStopClick);
  CCAVC->OnProgress = [this](TCustomMediaEngine*, TProgressInfo* info) { CCAVCProgress(*info); };
  CCAVC->OnPreviewBitmap = [this](TCustomMediaEngine*, const TPreviewInfo& info) { CCAVCPreviewBitmap(info); };
  // The effects hook runs on the engine's worker threads.
  CCAVC->OnCustomHook = [this](TCustomMediaEngine*, THookInfo* info) {
    conversionEffects_.Apply(info->TaskIndex, *info->Bitmap);
  };
  // Task ends come from the engine's notification thread: handled on the UI thread.
  CCAVC->OnTerminate = [this](TCustomMediaEngine*, const TTerminateInfo& info) {
    QMetaObject::invokeMethod(this, [this, info] { CCAVCTerminate(info); }, Qt::QueuedConnection);
  };
  CCAVC->SetPreviewBitmap(true);
}

void TfrmMain::DetachEngineEvents() {
  CCAVC->OnProgress = nullptr;
  CCAVC->OnPreviewBitmap = nullptr;
  CCAVC->OnCustomHook = nullptr;
  CCAVC->OnTerminate = nullptr;
}

void TfrmMain::btnStartClick() {
  IniFile settings = Settings();
  setPriority(*CCAVC, settings.readInteger(keys::kSettings, keys::kPriority, 1));
  if (jobs_->CheckedCount() == 0) return;
  TaskItems.clear();
  conversionEffects_.Clear();
  batch_ = {};
  CCAVC->ClearTasks();
  const QString folder = EnsureOutputFolder(settings, keys::kOutPutDir, this);
  std::vector<std::int64_t> durations;
  for (int row = 0; row < jobs_->Count(); ++row) {
    if (!jobs_->IsChecked(row)) continue;
    jobs_->SetProgressText(row, QString());
    const int task = AddConversionTask(row, settings, folder);
    if (task < 0) continue;
    durations.push_back(std::int64_t(jobs_->Record(row).DurationSeconds) * 1000000);
  }
  if (CCAVC->TaskCount() == 0) {
    ReportFailedJobs();
    return;
  }
  if (!progress_)
    progress_ = new TfrmProgress(*CCAVC, [this] { return ConversionPreview.get(); }, [this] { return Settings(); }, this);
  connect(progress_, &TfrmProgress::PauseStateChanged, this, &TfrmMain::MirrorPauseState, Qt::UniqueConnection);
  if (updateNotice_) progress_->controls().lblTips->SetTips(updateNotice_->Tips());
  SetBatchRunning(true);
  progress_->SetTaskDurations(durations);
  progress_->exec();
}

// Adds the job's engine task with its output; -1 when the job cannot be
// converted (its row then says why, or a message did).
int TfrmMain::AddConversionTask(int row, IniFile& settings, const QString& folder) {
  return jobs_->Record(row).IsDvdJob() ? AddDvdTask(row, settings, folder) : AddFileTask(row, settings, folder);
}

int TfrmMain::AddFileTask(int row, IniFile& settings, const QString& folder) {
  TlvFilesRecord& record = jobs_->Record(row);
  const QString caption = jobs_->Caption(row);
  TInputOptions input;
  input.FileName = caption.toStdString();
  TMediaProbe& probe = CCAVC->Probe();
  const bool probed = probe.LoadFile(input.FileName);
  const int code = settings.readInteger(keys::kSettings, keys::kFormatCode, 1);
  const IniFile catalogue = FormatCatalogue();
  record.ZoomMode = QString::fromStdString(CurrentZoomMode(settings, code));
  TOutputOptions output;
  std::string error = probed ? std::string() : probe.LastErrorMessage();
  if (probed) {
    try {
      output.FileName = ReserveDestinationOf(folder, caption, catalogue, code).toStdString();
      BuildTaskOptions(TaskJobOf(record), FormatParameters(settings, catalogue, code), output, probe, input,
                       AskOver(this));
      deinterlace_choice::ApplyTo(settings, input);
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  probe.Close();
  return AddEngineTask(row, input, output, error);
}

// The engine task of a built job, unless building it failed with `error`. A
// destination reserved for a job that did not become a task is given up.
int TfrmMain::AddEngineTask(int row, TInputOptions& input, TOutputOptions& output, std::string error) {
  int task = error.empty() ? CCAVC->AddTask(input.FileName, &input) : -1;
  if (task >= 0 && !CCAVC->SetOutputFile(task, output.FileName, &output)) {
    error = CCAVC->LastErrorMessage();
    CCAVC->RemoveTask(task);
    task = -1;
  } else if (task < 0 && error.empty()) {
    error = CCAVC->LastErrorMessage();
  }
  if (task < 0) {
    if (!output.FileName.empty()) ReleaseDestinationPath(output.FileName);
    MarkJobFailed(row, QString::fromStdString(error));
    return -1;
  }
  if (TaskItems.size() <= task) TaskItems.resize(task + 1);
  TaskItems[task] = row;
  if (output.EnableHook) conversionEffects_.SetTask(task, EffectSettingsOf(jobs_->Record(row)));
  return task;
}

void TfrmMain::MarkJobFailed(int row, const QString& error) {
  const QString reason = error.isEmpty() ? QStringLiteral("The conversion failed.") : error;
  jobs_->SetProgressText(row, QStringLiteral("Failed"), reason);
  batch_.failures << jobs_->Caption(row) + ": " + reason;
}

void TfrmMain::SetBatchRunning(bool running) {
  ui_.btnAdd->setEnabled(!running);
  menus_.actAdd->setEnabled(!running);
  SetJobActionsEnabled(!running);
  ui_.btnStop->setEnabled(running);
  ui_.btnPause->setEnabled(running);
  ui_.btnResume->setEnabled(false);
}

void TfrmMain::MirrorPauseState(bool paused) {
  ui_.btnPause->setEnabled(!paused);
  ui_.btnResume->setEnabled(paused);
}

void TfrmMain::btnStopClick() {
  ui_.btnStop->setEnabled(false);
  ui_.btnAdd->setEnabled(true);
  for (QPushButton* button : {ui_.btnRemove, ui_.btnClear, ui_.btnStart, ui_.btnPause, ui_.btnResume})
    button->setEnabled(false);
  CCAVC->Stop(true);
}

void TfrmMain::CCAVCProgress(const TProgressInfo& info) {
  if (info.TaskIndex < 0 || info.TaskIndex >= TaskItems.size() || !progress_) return;
  const int row = TaskItems[info.TaskIndex];
  const int percent = ProgressPercent(info.CurrentDuration, info.TotalDuration);
  if (percent >= 0) {
    progress_->SetBarPosition(percent);
    jobs_->SetProgressText(row, QString::number(percent) + "%");
  }
  progress_->SetTimeText(QString::number(info.CurrentDuration / 1000000) + " Second");
  progress_->SetLengthText(QString::number(info.TotalDuration / 1000000) + " Second");
  progress_->SetSizeText(QString::number(info.CurrentSize / 1000) + " kb");
  progress_->SetProgressText("[" + QString::number(info.TaskIndex + 1) + "/" + QString::number(CCAVC->TaskCount()) + "]");
  progress_->SetOutputText(ShortenedCaption(jobs_->Caption(row)));
  progress_->RecordProgress(info.TaskIndex, info.CurrentDuration, info.TotalDuration);
}

void TfrmMain::CCAVCPreviewBitmap(const TPreviewInfo& info) {
  const TBitmap24* bitmap = info.Bitmap;
  if (!bitmap || bitmap->Width <= 0 || bitmap->Height <= 0) return;
  ConversionPreview = std::make_unique<QImage>(ImageOfBitmap(*bitmap));
}

void TfrmMain::CCAVCTerminate(const TTerminateInfo& info) {
  if (info.TaskIndex < 0) {
    BatchEnded();
    return;
  }
  if (info.TaskIndex >= TaskItems.size()) return;
  const int row = TaskItems[info.TaskIndex];
  if (info.Finished) {
    ++batch_.converted;
    jobs_->SetProgressText(row, QStringLiteral("100%"));
    if (progress_) progress_->SetBarPosition(100);
    if (info.TaskIndex + 1 == CCAVC->TaskCount()) AfterLastJob();
    return;
  }
  // Stopped: the row keeps its percentage, the file its playable part. What a
  // failed conversion wrote the engine has removed.
  if (info.Exception) MarkJobFailed(row, QString::fromStdString(info.ExceptionMsg));
}

void TfrmMain::AfterLastJob() {
  if (!progress_) return;
  if (progress_->OpenFolderAfterConversion()) OpenOutputFolder(Settings());
  if (progress_->ShutDownAfterConversion()) ShutDownComputer(this);
}

void TfrmMain::BatchEnded() {
  SetBatchRunning(false);
  if (jobs_->Count() == 0) UpdateEmptyListState();
  CCAVC->ClearTasks();
  if (progress_ && progress_->isVisible()) progress_->close();
  NotifyBatchEnd(batch_.converted, int(batch_.failures.size()));
  ReportFailedJobs();
}

void TfrmMain::ReportFailedJobs() {
  if (batch_.failures.isEmpty()) return;
  const QString text = (batch_.failures.size() == 1 ? QStringLiteral("This file could not be converted:\n")
                                                    : QStringLiteral("These files could not be converted:\n")) +
                       batch_.failures.join('\n');
  batch_.failures.clear();
  prompts().ask(this, {QStringLiteral("Warning"), text, PromptButtons::Ok, PromptIcon::Warning});
}
