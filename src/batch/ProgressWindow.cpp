#include "batch/ProgressWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include "engine/face/MediaEngine.h"
#include "frontend/FormatHMS.h"
#include "preview/PreviewPicture.h"
#include "preview/Snapshots.h"
#include "ui/ElidedLabel.h"
#include "ui/Prompts.h"

namespace {

constexpr QSize kWindowSize(420, 460);
constexpr int kRepaintIntervalMs = 100;

// A time still to wait, in whole seconds rounded up.
QString waitText(std::int64_t microseconds) {
  return QString::fromStdString(FormatHMS((microseconds + 999999) / 1000000));
}

}  // namespace

TfrmProgress::TfrmProgress(TCustomMediaEngine& engine, PreviewSource preview, SettingsSource settings,
                           QWidget* parent)
    : QDialog(parent), engine_(engine), preview_(std::move(preview)), settings_(std::move(settings)) {
  setObjectName(QStringLiteral("frmProgress"));
  setWindowTitle(QStringLiteral("Progress"));
  setFixedSize(kWindowSize);
  setModal(true);
  ui_ = BuildProgressControls(this);
  ui_.Timer1 = new QTimer(this);
  ui_.Timer1->setObjectName(QStringLiteral("Timer1"));
  ui_.Timer1->setInterval(kRepaintIntervalMs);
  connect(ui_.Timer1, &QTimer::timeout, this, &TfrmProgress::Timer1Timer);
  connect(ui_.btnPause, &QPushButton::clicked, this, &TfrmProgress::btnPauseClick);
  connect(ui_.btnResume, &QPushButton::clicked, this, &TfrmProgress::btnResumeClick);
  connect(ui_.btnCancel, &QPushButton::clicked, this, &QDialog::close);
  connect(ui_.imgbtnSnap, &QToolButton::clicked, this, &TfrmProgress::imgbtnSnapClick);
}

TfrmProgress::~TfrmProgress() = default;

void TfrmProgress::SetTaskDurations(std::vector<std::int64_t> durationsUs) { taskDurations_ = std::move(durationsUs); }

void TfrmProgress::SetTimeText(const QString& text) { ui_.lblTime->setText(text); }
void TfrmProgress::SetLengthText(const QString& text) { ui_.lblLength->setText(text); }
void TfrmProgress::SetSizeText(const QString& text) { ui_.lblSize->setText(text); }
void TfrmProgress::SetProgressText(const QString& text) { ui_.lblProgress->setText(text); }
void TfrmProgress::SetOutputText(const QString& text) { ui_.lblOutput->SetFullText(text); }
void TfrmProgress::SetBarPosition(int percent) { ui_.progbarFile->setValue(percent); }

bool TfrmProgress::OpenFolderAfterConversion() const { return ui_.ckOpen->isChecked(); }
bool TfrmProgress::ShutDownAfterConversion() const { return ui_.ckShutDown->isChecked(); }

void TfrmProgress::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The window system shows it again after a minimise; only a real showing
  // starts a batch.
  if (!event->spontaneous()) FormShow();
}

void TfrmProgress::FormShow() {
  resize(kWindowSize);
  setPalette(parentWidget() ? parentWidget()->palette() : QApplication::palette());

  for (QLabel* label : {ui_.lblTime, ui_.lblSize, ui_.lblLength, ui_.lblProgress}) label->clear();
  ui_.lblOutput->SetFullText(QString());
  ui_.lblRemainingCaption->hide();
  ui_.lblRemaining->hide();
  ui_.ckOpen->setChecked(true);
  ui_.btnPause->setEnabled(true);
  ui_.btnResume->setEnabled(false);

  ui_.imgPreview->Clear();
  ui_.Timer1->start();
  ui_.progbarFile->setRange(0, 100);
  ui_.progbarFile->setValue(0);

  remaining_.Start(taskDurations_);
  clock_.start();
  engine_.StartTask(1);
}

void TfrmProgress::btnPauseClick() {
  engine_.Pause();
  remaining_.Interrupt();
  ui_.btnPause->setEnabled(false);
  ui_.btnResume->setEnabled(true);
  emit PauseStateChanged(true);
}

void TfrmProgress::btnResumeClick() {
  engine_.Resume();
  ui_.btnPause->setEnabled(true);
  ui_.btnResume->setEnabled(false);
  emit PauseStateChanged(false);
}

void TfrmProgress::done(int result) {
  // Stopping runs the engine's pending events, and a batch end among them
  // closes this window again: the inner close leaves the work to this one.
  if (closing_) return;
  closing_ = true;
  engine_.Stop(true);
  ui_.Timer1->stop();
  closing_ = false;
  QDialog::done(result);
}

void TfrmProgress::Timer1Timer() {
  const QImage* frame = preview_();
  if (frame && frame->width() > 0 && frame->height() > 0) ui_.imgPreview->Draw(*frame);
}

void TfrmProgress::imgbtnSnapClick() {
  const QImage* frame = preview_();
  if (!frame || frame->isNull()) return;
  const QImage full = frame->copy();
  Timer1Timer();  // the small picture shows this very frame
  IniFile settings = settings_();
  WarnUnsavedSnapshots(SaveSnapshots(settings, full, ui_.imgPreview->Picture(), this), this);
}

void TfrmProgress::RecordProgress(int taskIndex, std::int64_t currentUs, std::int64_t totalUs) {
  remaining_.Add(taskIndex, currentUs, totalUs, clock_.nsecsElapsed() / 1000);
  ShowRemaining();
}

void TfrmProgress::ShowRemaining() {
  const auto task = remaining_.TaskRemainingUs();
  const auto batch = remaining_.BatchRemainingUs();
  ui_.lblRemainingCaption->setVisible(task.has_value());
  ui_.lblRemaining->setVisible(task.has_value());
  if (!task) return;
  QString text = waitText(*task) + QStringLiteral(" for this file");
  if (batch && *batch > *task) text += QStringLiteral(", ") + waitText(*batch) + QStringLiteral(" for all");
  ui_.lblRemaining->setText(text);
}
