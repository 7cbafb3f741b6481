#include "batch/BatchController.h"

#include <QAction>
#include <QPushButton>

#include "batch/AfterBatchActions.h"
#include "batch/BatchNotification.h"
#include "batch/ProgressTexts.h"
#include "batch/ProgressWindow.h"
#include "batch/ProgressWindowLayout.h"
#include "engine/face/MediaEngine.h"
#include "frontend/SettingsKeys.h"
#include "jobs/FileJobAdding.h"
#include "jobs/JobList.h"
#include "jobs/JobsController.h"
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

// The builders' question about an unusable frame size, asked over parent.
AskQuestion askOver(QWidget* parent) {
  return [parent](const std::string& caption, const std::string& text) {
    return prompts().ask(parent, {QString::fromStdString(caption), QString::fromStdString(text), PromptButtons::YesNo,
                                  PromptIcon::Question}) == PromptAnswer::Yes;
  };
}

}  // namespace

TBatchController::TBatchController(const BatchControls& controls, TMediaEngine& engine, TJobsController& jobs,
                                   DvdSource dvdSource, WindowContext context, QObject* parent)
    : QObject(parent), ui_(controls), engine_(engine), jobs_(jobs), dvdSource_(std::move(dvdSource)),
      context_(std::move(context)),
      batch_(engine, {[this](int row, const TProgressInfo& info) { CCAVCProgress(row, info); },
                      [this](int row, bool lastTask) {
                        jobs_.Jobs().SetProgressText(row, QStringLiteral("100%"));
                        if (progress_) progress_->SetBarPosition(100);
                        if (lastTask) AfterLastJob();
                      },
                      [this](int row, const std::string& error) { MarkJobFailed(row, error); }, nullptr}),
      afterBatch_(StandardAfterBatchActions(context_)) {
  for (QAction* action : {ui_.actStart, ui_.popStart})
    connect(action, &QAction::triggered, this, &TBatchController::btnStartClick);
  connect(ui_.btnStart, &QPushButton::clicked, this, &TBatchController::btnStartClick);
  connect(ui_.btnPause, &QPushButton::clicked, this, [this] { progress_ ? progress_->btnPauseClick() : void(); });
  connect(ui_.btnResume, &QPushButton::clicked, this, [this] { progress_ ? progress_->btnResumeClick() : void(); });
  connect(ui_.btnStop, &QPushButton::clicked, this, &TBatchController::btnStopClick);
  ConnectEngine();
}

TBatchController::~TBatchController() = default;

void TBatchController::ConnectEngine() {
  engine_.OnProgress = [this](TCustomMediaEngine*, TProgressInfo* info) { batch_.HandleProgress(*info); };
  engine_.OnPreviewBitmap = [this](TCustomMediaEngine*, const TPreviewInfo& info) {
    const TBitmap24* bitmap = info.Bitmap;
    if (bitmap && bitmap->Width > 0 && bitmap->Height > 0) preview_ = std::make_unique<QImage>(ImageOfBitmap(*bitmap));
  };
  // The effects hook runs on the engine's worker threads.
  engine_.OnCustomHook = [this](TCustomMediaEngine*, THookInfo* info) {
    effects_.Apply(info->TaskIndex, *info->Bitmap);
  };
  // Task ends come from the engine's notification thread: handled on the UI thread.
  engine_.OnTerminate = [this](TCustomMediaEngine*, const TTerminateInfo& info) {
    QMetaObject::invokeMethod(this, [this, info] { CCAVCTerminate(info); }, Qt::QueuedConnection);
  };
  engine_.SetPreviewBitmap(true);
}

void TBatchController::Shutdown() {
  engine_.OnProgress = nullptr;
  engine_.OnPreviewBitmap = nullptr;
  engine_.OnCustomHook = nullptr;
  engine_.OnTerminate = nullptr;
  engine_.Stop(true);
  preview_.reset();
}

void TBatchController::btnStartClick() {
  IniFile settings = context_.settings();
  setPriority(engine_, settings.readInteger(keys::kSettings, keys::kPriority, 1));
  TJobList& jobs = jobs_.Jobs();
  if (jobs.CheckedCount() == 0) return;
  effects_.Clear();
  const QString folder = EnsureOutputFolder(settings, keys::kOutPutDir, context_.window);
  const int code = settings.readInteger(keys::kSettings, keys::kFormatCode, 1);
  batch_.Begin({code, settings, context_.catalogue(), folder.toStdString(), askOver(context_.window)});
  std::vector<std::int64_t> durations;
  for (int row = 0; row < jobs.Count(); ++row) {
    if (!jobs.IsChecked(row)) continue;
    jobs.SetProgressText(row, QString());
    if (AddConversionTask(row) < 0) continue;
    durations.push_back(std::int64_t(jobs.Record(row).DurationSeconds) * 1000000);
  }
  if (engine_.TaskCount() == 0) {
    ReportFailedJobs();
    return;
  }
  if (!progress_)
    progress_ = new TfrmProgress(engine_, [this] { return preview_.get(); }, context_.settings, context_.window);
  connect(progress_, &TfrmProgress::PauseStateChanged, this, &TBatchController::MirrorPauseState,
          Qt::UniqueConnection);
  if (tips_) progress_->controls().lblTips->SetTips(tips_());
  SetBatchRunning(true);
  progress_->SetTaskDurations(durations);
  progress_->exec();
}

// Adds the job's engine task with its output; -1 when the job cannot be
// converted (its row then says why, or a message did).
int TBatchController::AddConversionTask(int row) {
  TlvFilesRecord& record = jobs_.Jobs().Record(row);
  record.ZoomMode = QString::fromStdString(batch_.ZoomMode());
  const TFileJob job = TaskJobOf(record);
  const std::string caption = jobs_.Jobs().Caption(row).toStdString();
  int task = -1;
  if (!record.IsDvdJob()) {
    task = batch_.AddFile(row, caption, job);
  } else {
    DvdTitleInfo title;
    std::string address;
    if (dvdSource_(record, title, address)) task = batch_.AddDvdTitle(row, caption, address, title, job);
  }
  if (task >= 0 && job.NeedsHook) effects_.SetTask(task, EffectSettingsOf(record));
  return task;
}

void TBatchController::MarkJobFailed(int row, const std::string& error) {
  const QString reason = error.empty() ? QStringLiteral("The conversion failed.") : QString::fromStdString(error);
  jobs_.Jobs().SetProgressText(row, QStringLiteral("Failed"), reason);
}

void TBatchController::SetBatchRunning(bool running) {
  jobs_.SetAddingEnabled(!running);
  jobs_.SetJobActionsEnabled(!running);
  ui_.btnStop->setEnabled(running);
  ui_.btnPause->setEnabled(running);
  ui_.btnResume->setEnabled(false);
}

void TBatchController::MirrorPauseState(bool paused) {
  ui_.btnPause->setEnabled(!paused);
  ui_.btnResume->setEnabled(paused);
}

void TBatchController::btnStopClick() {
  ui_.btnStop->setEnabled(false);
  ui_.btnAdd->setEnabled(true);
  for (QPushButton* button : {ui_.btnRemove, ui_.btnClear, ui_.btnStart, ui_.btnPause, ui_.btnResume})
    button->setEnabled(false);
  engine_.Stop(true);
}

void TBatchController::CCAVCProgress(int row, const TProgressInfo& info) {
  if (!progress_) return;
  const int percent = ProgressPercent(info.CurrentDuration, info.TotalDuration);
  if (percent >= 0) {
    progress_->SetBarPosition(percent);
    jobs_.Jobs().SetProgressText(row, QString::number(percent) + "%");
  }
  progress_->SetTimeText(QString::number(info.CurrentDuration / 1000000) + " Second");
  progress_->SetLengthText(QString::number(info.TotalDuration / 1000000) + " Second");
  progress_->SetSizeText(QString::number(info.CurrentSize / 1000) + " kb");
  progress_->SetProgressText("[" + QString::number(info.TaskIndex + 1) + "/" + QString::number(engine_.TaskCount()) + "]");
  progress_->SetOutputText(ShortenedCaption(jobs_.Jobs().Caption(row)));
  progress_->RecordProgress(info.TaskIndex, info.CurrentDuration, info.TotalDuration);
}

void TBatchController::CCAVCTerminate(const TTerminateInfo& info) {
  if (info.TaskIndex < 0) {
    BatchEnded();
    return;
  }
  batch_.HandleTaskEnd(info);
}

void TBatchController::AfterLastJob() {
  if (!progress_) return;
  for (const auto& action : afterBatch_)
    if (action->Wanted(*progress_)) action->Run();
}

void TBatchController::BatchEnded() {
  SetBatchRunning(false);
  if (jobs_.Jobs().Count() == 0) jobs_.UpdateEmptyListState();
  engine_.ClearTasks();
  if (progress_ && progress_->isVisible()) progress_->close();
  NotifyBatchEnd(batch_.Converted(), int(batch_.Failures().size()));
  ReportFailedJobs();
}

void TBatchController::ReportFailedJobs() {
  const std::vector<BatchFailure>& failures = batch_.Failures();
  if (failures.empty()) return;
  QStringList lines;
  for (const BatchFailure& failure : failures)
    lines << QString::fromStdString(failure.caption) + ": " +
                 (failure.reason.empty() ? QStringLiteral("The conversion failed.") : QString::fromStdString(failure.reason));
  const QString text = (failures.size() == 1 ? QStringLiteral("This file could not be converted:\n")
                                             : QStringLiteral("These files could not be converted:\n")) +
                       lines.join('\n');
  batch_.ClearFailures();
  prompts().ask(context_.window, {QStringLiteral("Warning"), text, PromptButtons::Ok, PromptIcon::Warning});
}
