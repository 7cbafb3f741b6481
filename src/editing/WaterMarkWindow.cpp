#include "editing/WaterMarkWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

#include "editing/EditorTexts.h"
#include "player/MediaPlayer.h"
#include "preview/SeekBar.h"
#include "preview/VideoWidget.h"
#include "ui/EditorParts.h"
#include "ui/Prompts.h"

namespace {

QString captionFor(const QString& source) {
  if (source.size() < 56) return QStringLiteral("Water Mark  ") + source;
  return QStringLiteral("Water Mark   ") + source.left(50) + ".." + QFileInfo(source).suffix() + "  ";
}

// Selects the colour in the colour box, adding it when it is none of the listed ones.
void selectColour(QComboBox& box, const QColor& colour) {
  int index = box.findData(colour);
  if (index < 0) {
    box.addItem(QStringLiteral("Custom"), colour);
    index = box.count() - 1;
  }
  box.setCurrentIndex(index);
}

}  // namespace

TfrmWaterMark::TfrmWaterMark(Dispatcher* dispatcher, const QString& libraryFolder, QWidget* parent)
    : QDialog(parent), player_(std::make_unique<TMediaPlayer>(dispatcher)), libraryFolder_(libraryFolder) {
  setObjectName(QStringLiteral("frmWaterMark"));
  setWindowTitle(QStringLiteral("Water Mark"));
  BuildLayout();
  resize(786, 415);
  player_->OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int frameWidth, int frameHeight, int& width,
                               int& height) {
    width = ui_.pnlPreview->width();
    height = ui_.pnlPreview->height();
    FileOpened(duration, QSize(frameWidth, frameHeight));
  };
  player_->OnPosition = [this](TCustomPlayer*, std::int64_t pts) {
    ui_.lblTime->setText(QStringLiteral("Time:    ") + TimeText(pts));
  };
  player_->OnState = [this](TCustomPlayer*, TPlayState state) {
    if (state == psEnd) RestAtStart(*player_, ui_.imgbtnPlay, ui_.imgbtnPause, ui_.trcPreview);
  };
  player_->SetOnHook([this](TCustomPlayer*, TBitmap24& bitmap, std::int64_t) { preview_.Draw(bitmap); });
  redraw_ = new QTimer(this);
  redraw_->setSingleShot(true);
  redraw_->setInterval(150);
  connect(redraw_, &QTimer::timeout, this, &TfrmWaterMark::RedrawPausedPicture);
  ConnectControls();
  ui_.trcPreview->installEventFilter(this);
}

TfrmWaterMark::~TfrmWaterMark() {
  player_->SetHook(false);
  player_->Stop(true);
  player_->SetOnHook(nullptr);
}

void TfrmWaterMark::ConnectControls() {
  const auto pair = [this](QSlider* bar, QSpinBox* spin) {
    connect(bar, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    connect(spin, &QSpinBox::valueChanged, bar, &QSlider::setValue);
    connect(bar, &QSlider::valueChanged, this, &TfrmWaterMark::SettingsChanged);
  };
  pair(ui_.trcBrightness, ui_.spnBrightness);
  pair(ui_.trcContrast, ui_.spnContrast);
  pair(ui_.trcSaturation, ui_.spnSaturation);
  pair(ui_.trcExposure, ui_.spnExposure);
  for (auto [bar, box] : {std::pair{ui_.trcTextHoriz, ui_.lblTextHoriz}, {ui_.trcTextVert, ui_.lblTextVert},
                          {ui_.trcImageHoriz, ui_.lblImageHoriz}, {ui_.trcImageVert, ui_.lblImageVert},
                          {ui_.trcAlpha, ui_.lblAlpha}}) {
    connect(bar, &QSlider::valueChanged, box, [box = box](int value) { box->setText(QString::number(value)); });
    connect(bar, &QSlider::valueChanged, this, &TfrmWaterMark::SettingsChanged);
  }
  connect(ui_.edtFont, &QLineEdit::textChanged, this, &TfrmWaterMark::TextChanged);
  connect(ui_.cmbFontName, &QFontComboBox::currentFontChanged, this, &TfrmWaterMark::TextChanged);
  connect(ui_.cmbFontSize, &QComboBox::currentTextChanged, this, &TfrmWaterMark::TextChanged);
  connect(ui_.cmbFontColor, &QComboBox::currentIndexChanged, this, &TfrmWaterMark::TextChanged);
  for (QCheckBox* box : {ui_.chkBold, ui_.chkItalic, ui_.chkUnderline, ui_.chkStrikeOut})
    connect(box, &QCheckBox::toggled, this, &TfrmWaterMark::TextChanged);
  for (QCheckBox* box : {ui_.chkProcessText, ui_.chkProcessImage})
    connect(box, &QCheckBox::toggled, this, &TfrmWaterMark::SettingsChanged);
  connect(ui_.rbStyle1, &QRadioButton::toggled, this, &TfrmWaterMark::SettingsChanged);
  connect(ui_.btnClearText, &QPushButton::clicked, this, &TfrmWaterMark::ClearText);
  connect(ui_.btnBrows, &QPushButton::clicked, this, &TfrmWaterMark::BrowseImage);
  connect(ui_.btnClearImage, &QPushButton::clicked, this, &TfrmWaterMark::ClearImage);
  connect(ui_.btnReset, &QPushButton::clicked, this, &TfrmWaterMark::ResetEffects);
  connect(ui_.btnOk, &QPushButton::clicked, this, [this] {
    choice_ = std::make_unique<WaterMarkJob>(job_);
    const QSize frame = preview_.FrameSize().isEmpty() ? openedFrame_ : preview_.FrameSize();
    choice_->Places = PlacesOfControls();
    choice_->Settings = PlacedSettings(SettingsOfControls(), choice_->Places, frame);
    accept();
  });
  connect(ui_.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  ConnectSpeedButtons(*player_, ui_.imgbtnPlay, ui_.imgbtnPause, ui_.trcPreview);
}

std::unique_ptr<WaterMarkJob> TfrmWaterMark::Edit(const WaterMarkJob& job) {
  job_ = job;
  choice_.reset();
  LoadJob(job);
  preview_.SetCrop(job.CropTop, job.CropLeft, job.CropBottom, job.CropRight);
  ui_.imgbtnPlay->setEnabled(false);
  ui_.imgbtnPause->setEnabled(false);
  if (OpenSource()) {
    ui_.imgbtnPause->setEnabled(true);
    setWindowTitle(captionFor(job.SourceName));
  }
  exec();
  return std::move(choice_);
}

void TfrmWaterMark::LoadJob(const WaterMarkJob& job) {
  loading_ = true;
  const EffectSettings& s = job.Settings;
  const auto place = [](QSlider* bar, int percent) { bar->setValue(percent > 0 ? percent : 0); };
  place(ui_.trcTextHoriz, job.Places.TextHoriz);
  place(ui_.trcTextVert, job.Places.TextVert);
  place(ui_.trcImageHoriz, job.Places.ImageHoriz);
  place(ui_.trcImageVert, job.Places.ImageVert);
  place(ui_.trcAlpha, s.ImageAlpha);
  (s.ImageBlendStyle == 1 ? ui_.rbStyle1 : ui_.rbStyle2)->setChecked(true);
  ui_.trcBrightness->setValue(s.Brightness);
  ui_.trcContrast->setValue(s.Contrast);
  ui_.trcSaturation->setValue(s.Saturation);
  ui_.trcExposure->setValue(s.Exposure);
  ui_.chkProcessText->setChecked(s.ProcessText);
  ui_.chkProcessImage->setChecked(s.ProcessImage);
  LoadText(s);
  ui_.edtImage->setText(s.ImagePath);
  loading_ = false;
  TextChanged();
}

// Without a text the boxes show the job's font (the default one), in black.
void TfrmWaterMark::LoadText(const EffectSettings& s) {
  ui_.edtFont->setText(s.Text);
  ui_.cmbFontName->setCurrentFont(s.Font);
  ui_.cmbFontSize->setCurrentText(QString::number(s.Font.pointSize()));
  if (s.Text.isEmpty()) {
    ui_.cmbFontColor->setCurrentIndex(0);
    return;
  }
  selectColour(*ui_.cmbFontColor, s.FontColor);
  ui_.chkBold->setChecked(s.Font.bold());
  ui_.chkItalic->setChecked(s.Font.italic());
  ui_.chkUnderline->setChecked(s.Font.underline());
  ui_.chkStrikeOut->setChecked(s.Font.strikeOut());
}

bool TfrmWaterMark::OpenSource() {
  if (!player_->LibrariesLoaded() && !player_->LoadLibraries(libraryFolder_.toStdString())) return false;
  return player_->Open(job_.Source, ui_.pnlPreview);
}

void TfrmWaterMark::FileOpened(std::int64_t duration, QSize frame) {
  openedFrame_ = frame;
  player_->SetHook(true);
  duration_ = duration;
  ui_.lblDuration->setText(QStringLiteral("Duration:    ") + TimeText(duration));
  ui_.lblTime->setText(QStringLiteral("0.0"));
  ResetSeekBar(*ui_.trcPreview, duration);
}

// The text box shows the text in its chosen font and colour: the size kept
// readable in the box, a light colour on a dark ground.
void TfrmWaterMark::TextChanged() {
  if (loading_) return;
  const EffectSettings s = SettingsOfControls();
  QFont font = ui_.edtFont->font();
  font.setBold(s.Font.bold());
  font.setItalic(s.Font.italic());
  font.setUnderline(s.Font.underline());
  font.setStrikeOut(s.Font.strikeOut());
  if (!s.Text.isEmpty()) {
    font.setFamily(s.Font.family());
    font.setPointSize(std::min(s.Font.pointSize(), kLargestShownSize));
    QPalette palette = ui_.edtFont->palette();
    palette.setColor(QPalette::Text, s.FontColor);
    palette.setColor(QPalette::Base, s.FontColor.lightness() > 160 ? QColor(64, 64, 64) : QColor(Qt::white));
    ui_.edtFont->setPalette(palette);
  }
  ui_.edtFont->setFont(font);
  SettingsChanged();
}

void TfrmWaterMark::ClearText() {
  ui_.edtFont->clear();
  ui_.trcTextHoriz->setValue(0);
  ui_.trcTextVert->setValue(0);
}

void TfrmWaterMark::BrowseImage() {
  const QStringList files =
      prompts().openFiles(this, {QStringLiteral("Open"), {{QStringLiteral("Bitmap files"), QStringLiteral("*.bmp")}}});
  if (files.isEmpty()) return;
  ui_.edtImage->setText(files.front());
  SettingsChanged();
}

// The picture goes; the hook's lock makes a frame being drawn finish first.
void TfrmWaterMark::ClearImage() {
  ui_.edtImage->clear();
  ui_.trcImageHoriz->setValue(0);
  ui_.trcImageVert->setValue(0);
  ui_.trcAlpha->setValue(125);
  SettingsChanged();
  preview_.ClearImage();
}

void TfrmWaterMark::ResetEffects() {
  ui_.trcBrightness->setValue(255);
  ui_.trcContrast->setValue(0);
  ui_.trcSaturation->setValue(255);
  ui_.trcExposure->setValue(0);
  ui_.chkProcessText->setChecked(false);
  ui_.chkProcessImage->setChecked(false);
}

void TfrmWaterMark::EnablePlaces() {
  const bool text = !ui_.edtFont->text().isEmpty(), image = !ui_.edtImage->text().isEmpty();
  ui_.trcTextHoriz->setEnabled(text);
  ui_.trcTextVert->setEnabled(text);
  ui_.trcImageHoriz->setEnabled(image);
  ui_.trcImageVert->setEnabled(image);
}

EffectSettings TfrmWaterMark::SettingsOfControls() const {
  EffectSettings s;
  s.Text = ui_.edtFont->text();
  s.Font = QFont(ui_.cmbFontName->currentFont().family());
  const int size = ui_.cmbFontSize->currentText().toInt();
  s.Font.setPointSize(size > 0 ? size : 7);
  s.Font.setBold(ui_.chkBold->isChecked());
  s.Font.setItalic(ui_.chkItalic->isChecked());
  s.Font.setUnderline(ui_.chkUnderline->isChecked());
  s.Font.setStrikeOut(ui_.chkStrikeOut->isChecked());
  s.FontColor = ui_.cmbFontColor->currentData().value<QColor>();
  s.ImagePath = ui_.edtImage->text();
  s.ImageAlpha = ui_.trcAlpha->value();
  s.ImageBlendStyle = ui_.rbStyle1->isChecked() ? 1 : 2;
  s.Brightness = ui_.trcBrightness->value();
  s.Contrast = ui_.trcContrast->value();
  s.Saturation = ui_.trcSaturation->value();
  s.Exposure = ui_.trcExposure->value();
  s.ProcessText = ui_.chkProcessText->isChecked();
  s.ProcessImage = ui_.chkProcessImage->isChecked();
  return s;
}

WaterMarkPlaces TfrmWaterMark::PlacesOfControls() const {
  return {ui_.trcTextHoriz->value(), ui_.trcTextVert->value(), ui_.trcImageHoriz->value(), ui_.trcImageVert->value()};
}

void TfrmWaterMark::SettingsChanged() {
  if (loading_) return;
  EnablePlaces();
  preview_.SetSettings(SettingsOfControls(), PlacesOfControls());
  if (player_->IsPaused()) redraw_->start();
}

// A seek to the key picture at or before where the paused player stands
// decodes a picture again (a picture between key pictures would decode
// without its references), and the hook draws it with the new settings.
void TfrmWaterMark::RedrawPausedPicture() {
  if (player_->IsPaused() && player_->Position() >= 0) player_->Seek(kSeekBackward, false, player_->Position());
}

bool TfrmWaterMark::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_.trcPreview) SeekOnRelease(*event, *ui_.trcPreview, *player_, duration_);
  return QDialog::eventFilter(watched, event);
}

void TfrmWaterMark::done(int result) {
  player_->SetHook(false);
  player_->Stop(true);
  QDialog::done(result);
}
