#pragma once

#include <QImage>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dvddec/dvddec.h"
#include "editing/ConversionEffects.h"
#include "frontend/ConversionBatch.h"
#include "ui/WindowContext.h"

class AfterBatchAction;
class QAction;
class QPushButton;
class TJobsController;
class TMediaEngine;
class TfrmProgress;
struct TlvFilesRecord;

// The buttons a batch's start and stop change.
struct BatchControls {
  QPushButton *btnStart, *btnPause, *btnResume, *btnStop, *btnAdd, *btnRemove, *btnClear;
  QAction *actStart, *popStart;
};

// Converting the checked jobs: the conversion batch over the engine, the
// progress window it runs in, the effects hook, the rows' progress and
// failures, and the actions after the last job. UI thread only; the engine's
// task ends are brought to it.
class TBatchController : public QObject {
  Q_OBJECT

 public:
  // The title record and engine address of a DVD job; false when it cannot be converted.
  using DvdSource = std::function<bool(const TlvFilesRecord& record, DvdTitleInfo& title, std::string& address)>;

  TBatchController(const BatchControls& controls, TMediaEngine& engine, TJobsController& jobs, DvdSource dvdSource,
                   WindowContext context, QObject* parent);
  ~TBatchController() override;

  // The picture the engine showed last, for the progress window; nullptr when none.
  const QImage* ConversionPreview() const { return preview_.get(); }
  void SetConversionPreview(std::unique_ptr<QImage> image) { preview_ = std::move(image); }
  // Where the tips the progress window shows under its bar come from.
  void SetTipsSource(std::function<QStringList()> tips) { tips_ = std::move(tips); }

  void btnStartClick();
  void btnStopClick();
  // A closing window: a running batch stops and its events no longer arrive.
  void Shutdown();

 private:
  void ConnectEngine();
  int AddConversionTask(int row);
  void SetBatchRunning(bool running);
  void MirrorPauseState(bool paused);
  void MarkJobFailed(int row, const std::string& error);
  void CCAVCProgress(int row, const TProgressInfo& info);
  void CCAVCTerminate(const TTerminateInfo& info);
  void AfterLastJob();
  void BatchEnded();
  void ReportFailedJobs();

  BatchControls ui_;
  TMediaEngine& engine_;
  TJobsController& jobs_;
  DvdSource dvdSource_;
  WindowContext context_;
  ConversionBatch batch_;
  ConversionEffects effects_;  // the running batch's effects, read by the engine's hook
  TfrmProgress* progress_ = nullptr;  // created on first use, kept for the run
  std::unique_ptr<QImage> preview_;
  std::function<QStringList()> tips_;
  std::vector<std::unique_ptr<AfterBatchAction>> afterBatch_;
};
