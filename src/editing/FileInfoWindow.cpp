#include "editing/FileInfoWindow.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/EditorTexts.h"
#include "editing/FileInfoRules.h"
#include "engine/face/MediaEngine.h"
#include "media/EngineException.h"
#include "ui/NamedWidget.h"

namespace {

// Unknown values (the libraries give 0 or less) show as nothing.
QString number(std::int64_t value) { return value > 0 ? QString::number(value) : QString(); }

}  // namespace

TfrmFileInfo::TfrmFileInfo(const QString& libraryFolder, QWidget* parent)
    : QDialog(parent), CCAVC(std::make_unique<TMediaEngine>()), libraryFolder_(libraryFolder) {
  setObjectName(QStringLiteral("frmFileInfo"));
  setWindowTitle(QStringLiteral("File infomation"));
  BuildLayout();
  connect(ui_.btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmFileInfo::~TfrmFileInfo() = default;

void TfrmFileInfo::BuildLayout() {
  QPalette info = palette();
  info.setColor(QPalette::Base, info.color(QPalette::ToolTipBase));
  info.setColor(QPalette::Window, info.color(QPalette::ToolTipBase));
  info.setColor(QPalette::Text, info.color(QPalette::ToolTipText));
  info.setColor(QPalette::WindowText, info.color(QPalette::ToolTipText));
  const auto field = [&](const char* name) {
    auto* edit = named<QLineEdit>(name, this);
    edit->setReadOnly(true);
    edit->setPalette(info);
    edit->setMinimumWidth(180);
    return edit;
  };
  const auto label = [&](const char* name) {
    auto* text = named<QLabel>(name, this);
    text->setAutoFillBackground(true);
    text->setPalette(info);
    text->setMinimumWidth(270);
    return text;
  };
  ui_.lblSourceName = label("lblSourceName");
  ui_.lblFileLength = label("lblFileLength");
  ui_.edtFormat = field("edtFormat");
  ui_.edtResloution = field("edtResloution");
  ui_.edtBitRate = field("edtBitRate");
  ui_.edtFrameRate = field("edtFrameRate");
  ui_.edtTotalFrame = field("edtTotalFrame");
  ui_.edtAudioForamt = field("edtAudioForamt");
  ui_.edtSampleRate = field("edtSampleRate");
  ui_.edtChannel = field("edtChannel");
  ui_.edtAudioBitRate = field("edtAudioBitRate");
  ui_.btnOk = named<QPushButton>("btnOk", QStringLiteral("&Ok"), this);
  ui_.btnOk->setDefault(true);

  // One label width for all three forms, so that their fields line up.
  const auto caption = [this](const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setFixedWidth(90);
    return label;
  };
  auto* file = new QFormLayout;
  file->addRow(caption("File Name:"), ui_.lblSourceName);
  file->addRow(caption("Duration:"), ui_.lblFileLength);
  auto* video = new QGroupBox(QStringLiteral("Video "), this);
  auto* videoForm = new QFormLayout(video);
  videoForm->addRow(caption("Format:"), ui_.edtFormat);
  videoForm->addRow(caption("Resloution:"), ui_.edtResloution);
  videoForm->addRow(caption("Bit Rate:"), ui_.edtBitRate);
  videoForm->addRow(caption("Frame Rate:"), ui_.edtFrameRate);
  videoForm->addRow(caption("Total Frame:"), ui_.edtTotalFrame);
  auto* audio = new QGroupBox(QStringLiteral("Audio"), this);
  auto* audioForm = new QFormLayout(audio);
  audioForm->addRow(caption("Format:"), ui_.edtAudioForamt);
  audioForm->addRow(caption("Sample Rate:"), ui_.edtSampleRate);
  audioForm->addRow(caption("Channel:"), ui_.edtChannel);
  audioForm->addRow(caption("Bit Rate:"), ui_.edtAudioBitRate);
  auto* closing = new QHBoxLayout;
  closing->addStretch(1);
  closing->addWidget(ui_.btnOk);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(file);
  whole->addWidget(video);
  whole->addWidget(audio);
  whole->addLayout(closing);
}

void TfrmFileInfo::ShowInfo(const std::string& source, const QString& name) {
  ui_.lblSourceName->clear();
  ui_.lblFileLength->clear();
  ui_.btnOk->setFocus();
  if (!source.empty() && !Fill(source, name)) {
    // Nothing readable: no stale fields of an earlier file.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->clear();
  }
  exec();
}

bool TfrmFileInfo::Fill(const std::string& source, const QString& name) {
  if (!CCAVC->LibrariesLoaded() && !CCAVC->LoadLibraries(libraryFolder_.toStdString())) return false;
  CCAVC->ClearTasks();
  const TInputOptions input;
  const int task = CCAVC->AddTask(source, &input);
  TMediaProbe& probe = CCAVC->Probe();
  try {
    if (task < 0 || !probe.LoadFile(source) || probe.StreamCount() <= 0) return false;
  } catch (const EngineException&) {
    return false;
  }
  ui_.lblSourceName->setText(FileInfoName(name));
  ui_.lblFileLength->setText(SecondsText(probe.FileStreamInfo().Duration));
  ui_.edtFormat->setText(QString::fromStdString(probe.FormatName()));
  FillVideo(task);
  FillAudio(task);
  return true;
}

void TfrmFileInfo::FillVideo(int task) {
  TMediaProbe& probe = CCAVC->Probe();
  const int index = probe.FirstVideoStreamIndex();
  TMediaProbe* taskProbe = CCAVC->TaskProbe(task, 0);
  if (index < 0 || !probe.IsVideoStream(index) || !taskProbe) {
    for (QLineEdit* edit : {ui_.edtResloution, ui_.edtBitRate, ui_.edtFrameRate, ui_.edtTotalFrame}) edit->clear();
    return;
  }
  const TVideoStreamInfo video = taskProbe->VideoStreamInfo(index);
  ui_.edtResloution->setText(QString::number(video.Width) + "x" + QString::number(video.Height));
  ui_.edtBitRate->setText(number(video.BitRate));
  ui_.edtFrameRate->setText(FrameRateText(video.FrameRateNum, video.FrameRateDen));
  ui_.edtTotalFrame->setText(TotalFramesText(probe.FileStreamInfo().Duration, video.FrameRateNum, video.FrameRateDen));
}

void TfrmFileInfo::FillAudio(int task) {
  TMediaProbe& probe = CCAVC->Probe();
  TMediaProbe* taskProbe = CCAVC->TaskProbe(task, 0);
  if (probe.AudioStreamCount() <= 0 || !taskProbe) {
    for (QLineEdit* edit : {ui_.edtAudioForamt, ui_.edtSampleRate, ui_.edtChannel, ui_.edtAudioBitRate})
      edit->clear();
    return;
  }
  const TAudioStreamInfo audio = taskProbe->AudioStreamInfo(probe.FirstAudioStreamIndex());
  ui_.edtAudioBitRate->setText(number(audio.BitRate));
  ui_.edtSampleRate->setText(number(audio.SampleRate));
  ui_.edtChannel->setText(number(audio.Channels));
  ui_.edtAudioForamt->setText(AudioFormatOf(QString::fromStdString(probe.FileInfoText())));
}

void TfrmFileInfo::done(int result) {
  CCAVC->ClearTasks();
  CCAVC->Probe().Close();
  QDialog::done(result);
}
