#include "editing/TrimWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "editing/EditorTexts.h"
#include "player/MediaPlayer.h"
#include "preview/SeekBar.h"
#include "preview/VideoWidget.h"
#include "ui/EditorParts.h"

namespace {

QLineEdit* timeBox() {
  auto* box = new QLineEdit(QStringLiteral("00:00:00"));
  box->setReadOnly(true);
  box->setFixedWidth(110);
  return box;
}

}  // namespace

TfrmTrim::TfrmTrim(Dispatcher* dispatcher, const QString& libraryFolder, QWidget* parent)
    : QDialog(parent), player_(std::make_unique<TMediaPlayer>(dispatcher)), libraryFolder_(libraryFolder) {
  setObjectName(QStringLiteral("frmTrim"));
  setWindowTitle(QStringLiteral("Trim"));
  BuildLayout();
  resize(615, 435);
  player_->OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int, int, int& width, int& height) {
    width = ui_.imgPreview->width();
    height = ui_.imgPreview->height();
    FileOpened(duration);
  };
  player_->OnPosition = [this](TCustomPlayer*, std::int64_t pts) {
    ui_.lblTime->setText(QStringLiteral("Time:    ") + TimeText(pts));
  };
  player_->OnState = [this](TCustomPlayer*, TPlayState state) {
    if (state == psEnd) Ended();
  };
  connect(ui_.btnSetStart, &QPushButton::clicked, this, &TfrmTrim::SetStart);
  connect(ui_.btnSetEnd, &QPushButton::clicked, this, &TfrmTrim::SetEnd);
  for (QPushButton* button : {ui_.btnReset, ui_.btnDefault}) connect(button, &QPushButton::clicked, this, &TfrmTrim::Reset);
  connect(ui_.btnOk, &QPushButton::clicked, this, [this] {
    choice_ = std::make_unique<TrimChoice>(ChooseTrim(start_, end_, duration_));
    accept();
  });
  connect(ui_.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  ConnectSpeedButtons(*player_, ui_.imgbtnPlay, ui_.imgbtnPause, ui_.trcPreview);
  connect(this, &QDialog::finished, this, [this] { player_->Stop(false); });
  ui_.trcPreview->installEventFilter(this);
}

TfrmTrim::~TfrmTrim() { player_->Stop(true); }

void TfrmTrim::BuildLayout() {
  ui_.imgPreview = new TVideoWidget(this);
  ui_.imgPreview->setFixedSize(320, 240);
  ui_.trcPreview = new TSeekBar(this);
  ui_.trcPreview->setObjectName(QStringLiteral("trcPreview"));
  ui_.lblSource = new QLabel(this);
  ui_.lblSource->setFixedWidth(290);
  ui_.lblTime = new QLabel(this);
  ui_.lblLength = new QLabel(this);
  ui_.imgbtnPlay = SpeedButton("imgbtnPlay", QStyle::SP_MediaPlay, QStringLiteral("play"), this);
  ui_.imgbtnPause = SpeedButton("imgbtnPause", QStyle::SP_MediaPause, QStringLiteral("pause"), this);
  ui_.edtStart = timeBox();
  ui_.edtEnd = timeBox();
  ui_.edtLength = timeBox();
  QPalette light = ui_.edtLength->palette();
  light.setColor(QPalette::Base, palette().color(QPalette::Light));
  light.setColor(QPalette::Text, Qt::black);
  ui_.edtLength->setPalette(light);
  ui_.btnSetStart = new QPushButton(QStringLiteral("&Ok"), this);
  ui_.btnSetEnd = new QPushButton(QStringLiteral("&Ok"), this);
  ui_.btnReset = new QPushButton(QStringLiteral("&Reset"), this);
  ui_.btnDefault = new QPushButton(QStringLiteral("&Default"), this);
  ui_.btnOk = new QPushButton(QStringLiteral("Ok"), this);
  ui_.btnCancel = new QPushButton(QStringLiteral("Cancel"), this);

  auto* marks = new QGridLayout;
  const auto addRow = [&](int row, const char* caption, QLineEdit* box, QPushButton* button) {
    marks->addWidget(new QLabel(QString::fromLatin1(caption), this), row * 2, 0, 1, 3);
    marks->addWidget(box, row * 2 + 1, 0);
    marks->addWidget(new QLabel(QStringLiteral("(HH:MM:SS)"), this), row * 2 + 1, 1);
    if (button) marks->addWidget(button, row * 2 + 1, 2);
  };
  addRow(0, "Set Start Time:", ui_.edtStart, ui_.btnSetStart);
  addRow(1, "Set End Time:", ui_.edtEnd, ui_.btnSetEnd);
  addRow(2, "Trim Length:", ui_.edtLength, nullptr);
  auto* resets = new QHBoxLayout;
  resets->addWidget(ui_.btnReset);
  resets->addWidget(ui_.btnDefault);
  auto* right = new QVBoxLayout;
  right->addLayout(marks);
  right->addSpacing(12);
  right->addLayout(resets);
  right->addStretch(1);

  auto* speed = new QHBoxLayout;
  speed->addWidget(ui_.imgbtnPlay);
  speed->addWidget(ui_.imgbtnPause);
  speed->addStretch(1);
  speed->addWidget(ui_.lblTime);
  auto* left = new QVBoxLayout;
  left->addWidget(ui_.lblSource);
  left->addWidget(ui_.imgPreview);
  left->addWidget(ui_.trcPreview);
  left->addLayout(speed);
  left->addWidget(ui_.lblLength);
  left->addStretch(1);

  LayOutEditor(*this, left, right, ui_.btnOk, ui_.btnCancel);
}

std::unique_ptr<TrimChoice> TfrmTrim::Edit(const std::string& source, const QString& sourceName,
                                           std::int64_t trimStart, std::int64_t trimLength) {
  choice_.reset();
  ui_.lblSource->clear();
  ui_.lblTime->clear();
  ui_.lblLength->clear();
  if (OpenSource(source)) {
    ui_.lblSource->setText(ShortenedSourceName(sourceName));
    if (trimStart >= 0) start_ = trimStart;
    end_ = trimLength > 0 ? trimStart + trimLength : duration_;
    ui_.imgbtnPlay->setEnabled(false);
    ui_.imgbtnPause->setEnabled(true);
    ShowMarks();
  }
  exec();
  return std::move(choice_);
}

bool TfrmTrim::OpenSource(const std::string& source) {
  if (!player_->LibrariesLoaded() && !player_->LoadLibraries(libraryFolder_.toStdString())) return false;
  return player_->Open(source, ui_.imgPreview);
}

void TfrmTrim::FileOpened(std::int64_t duration) {
  duration_ = duration;
  start_ = end_ = 0;
  for (QLineEdit* box : {ui_.edtStart, ui_.edtEnd, ui_.edtLength}) box->setText(QStringLiteral("00:00:00"));
  ui_.lblLength->setText(QStringLiteral("Duration:    ") + TimeText(duration));
  ui_.lblTime->setText(QStringLiteral("0.0"));
  ResetSeekBar(*ui_.trcPreview, duration);
  ui_.trcPreview->SetSelection(0, 0);
}

void TfrmTrim::ShowMarks() {
  ui_.edtStart->setText(TimeText(start_));
  ui_.edtEnd->setText(TimeText(end_));
  ui_.edtLength->setText(TimeText(end_ - start_));
  ShowSelection();
}

void TfrmTrim::ShowSelection() {
  if (duration_ <= 0) return;
  const std::int64_t maximum = ui_.trcPreview->maximum();
  ui_.trcPreview->SetSelection(int(maximum * start_ / duration_), int(maximum * end_ / duration_));
}

void TfrmTrim::SetStart() {
  if (player_->Position() <= 0) return;
  start_ = player_->Position();
  ui_.edtStart->setText(TimeText(start_));
  ShowSelection();
}

void TfrmTrim::SetEnd() {
  if (player_->Position() <= 0) return;
  end_ = player_->Position();
  ui_.edtEnd->setText(TimeText(end_));
  if (start_ < end_) ui_.edtLength->setText(TimeText(end_ - start_));
  ShowSelection();
}

void TfrmTrim::Reset() {
  start_ = 0;
  end_ = duration_;
  ui_.edtStart->setText(QStringLiteral("00:00:00"));
  ui_.edtEnd->setText(TimeText(duration_));
  ui_.edtLength->setText(TimeText(duration_));
  ShowSelection();
}

// At the end the player rests paused at the start; the marks stay.
void TfrmTrim::Ended() {
  RestAtStart(*player_, ui_.imgbtnPlay, ui_.imgbtnPause, ui_.trcPreview);
  ui_.trcPreview->SetSelection(0, 0);
  ui_.lblTime->setText(QStringLiteral("00:00:00"));
  ui_.lblLength->setText(QStringLiteral("00:00:00"));
}

bool TfrmTrim::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_.trcPreview) SeekOnRelease(*event, *ui_.trcPreview, *player_, duration_);
  return QDialog::eventFilter(watched, event);
}

void TfrmTrim::closeEvent(QCloseEvent* event) {
  player_->Stop(false);
  QDialog::closeEvent(event);
}
