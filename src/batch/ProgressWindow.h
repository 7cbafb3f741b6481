#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <vector>

#include "batch/ProgressWindowLayout.h"
#include "batch/RemainingTime.h"
#include "frontend/IniFile.h"

class QImage;
class TCustomMediaEngine;


// The modal window shown while a batch converts. Showing it starts the batch
// (StartTask(1) on the engine); closing it in any way (Cancel, the title bar,
// Esc, close() at the batch end) stops the engine and waits for its tasks,
// then stops the preview repaint. Created once and kept: only "Shut down
// computer after conversion" keeps its state from one batch to the next.
//
// The conversion driver, from the engine's events:
//   before exec(): SetTaskDurations (for the batch estimate);
//   progress:      SetTimeText, SetLengthText, SetSizeText, SetProgressText,
//                  SetOutputText, SetBarPosition, RecordProgress;
//   task end:      SetBarPosition(100), OpenFolderAfterConversion(),
//                  ShutDownAfterConversion();
//   batch end:     close().
// It mirrors PauseStateChanged on its own Pause/Resume buttons.
//
// Everything here lives on the UI thread, including the engine calls; the
// preview image is read there too, so no lock is needed.
class TfrmProgress : public QDialog {
  Q_OBJECT

 public:
  // The main window's conversion preview; nullptr while there is none.
  using PreviewSource = std::function<const QImage*()>;
  // A fresh handle on the settings file.
  using SettingsSource = std::function<IniFile()>;

  TfrmProgress(TCustomMediaEngine& engine, PreviewSource preview, SettingsSource settings, QWidget* parent);
  ~TfrmProgress() override;

  const ProgressControls& controls() const { return ui_; }

  // Media durations (microseconds, 0 or less: unknown) of the batch's tasks in
  // task order, read at the next showing.
  void SetTaskDurations(std::vector<std::int64_t> durationsUs);

  void SetTimeText(const QString& text);
  void SetLengthText(const QString& text);
  void SetSizeText(const QString& text);
  void SetProgressText(const QString& text);
  void SetOutputText(const QString& text);
  void SetBarPosition(int percent);
  // One progress report for the time estimates ("Remaining:").
  void RecordProgress(int taskIndex, std::int64_t currentUs, std::int64_t totalUs);

  bool OpenFolderAfterConversion() const;
  bool ShutDownAfterConversion() const;

  // What Pause and Resume do: the engine, the two buttons, PauseStateChanged.
  void btnPauseClick();
  void btnResumeClick();

  // Every way of closing ends here.
  void done(int result) override;

 signals:
  void PauseStateChanged(bool paused);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void Timer1Timer();
  void imgbtnSnapClick();
  void ShowRemaining();

  TCustomMediaEngine& engine_;
  PreviewSource preview_;
  SettingsSource settings_;
  ProgressControls ui_;
  TRemainingTime remaining_;
  std::vector<std::int64_t> taskDurations_;
  QElapsedTimer clock_;  // wall time of the batch, for the estimates
  bool closing_ = false;  // the engine's stop runs events; a second close waits for the first
};
