// The controls of the "Water Mark" dialog and their places.
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "editing/WaterMarkWindow.h"
#include "preview/VideoWidget.h"
#include "ui/EditorParts.h"
#include "ui/NamedWidget.h"

namespace {

// The colour box's colours, black first.
constexpr std::pair<const char*, QRgb> kColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000}, {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080}, {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},    {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF}, {"White", 0xFFFFFF},
};

QIcon swatch(QColor colour) {
  QPixmap pixmap(16, 12);
  pixmap.fill(colour);
  QPainter(&pixmap).drawRect(0, 0, 15, 11);
  return QIcon(pixmap);
}

QSlider* slider(const char* name, int minimum, int maximum, QWidget* parent) {
  auto* bar = named<QSlider>(name, Qt::Horizontal, parent);
  bar->setRange(minimum, maximum);
  return bar;
}

QLabel* valueBox(const char* name, QWidget* parent) {
  auto* box = named<QLabel>(name, QStringLiteral("0"), parent);
  box->setFrameShape(QFrame::StyledPanel);
  box->setFixedWidth(40);
  box->setAlignment(Qt::AlignCenter);
  return box;
}

// A slider with its value box in one row of a form.
void addSliderRow(QFormLayout* form, const QString& caption, QSlider* bar, QWidget* box) {
  auto* row = new QHBoxLayout;
  row->addWidget(bar, 1);
  row->addWidget(box);
  form->addRow(caption, row);
}

}  // namespace

void TfrmWaterMark::BuildLayout() {
  ui_.pnlPreview = named<TVideoWidget>("pnlPreview", this);
  ui_.pnlPreview->setFixedSize(352, 264);
  ui_.trcPreview = named<QSlider>("trcPreview", Qt::Horizontal, this);
  ui_.lblTime = named<QLabel>("lblTime", this);
  ui_.lblDuration = named<QLabel>("lblDuration", this);
  ui_.imgbtnPlay = SpeedButton("imgbtnPlay", QStyle::SP_MediaPlay, QStringLiteral("play"), this);
  ui_.imgbtnPause = SpeedButton("imgbtnPause", QStyle::SP_MediaPause, QStringLiteral("pause"), this);
  ui_.btnOk = named<QPushButton>("btnOk", QStringLiteral("&Ok"), this);
  ui_.btnCancel = named<QPushButton>("btnCancel", QStringLiteral("&Cancel"), this);

  auto* speed = new QHBoxLayout;
  speed->addWidget(ui_.imgbtnPlay);
  speed->addWidget(ui_.imgbtnPause);
  speed->addSpacing(8);
  speed->addWidget(ui_.lblTime);
  speed->addStretch(1);
  speed->addWidget(ui_.lblDuration);
  auto* left = new QVBoxLayout;
  left->addWidget(ui_.pnlPreview);
  left->addWidget(ui_.trcPreview);
  left->addLayout(speed);
  left->addStretch(1);

  auto* pages = named<QTabWidget>("pgcWaterMark", this);
  pages->addTab(BuildTextPage(), QStringLiteral("Text Water Mark"));
  pages->addTab(BuildImagePage(), QStringLiteral("Image Water Mark"));
  pages->addTab(BuildEffectPage(), QStringLiteral("Video Effect"));
  auto* right = new QVBoxLayout;
  right->addWidget(pages);
  LayOutEditor(*this, left, right, ui_.btnOk, ui_.btnCancel);
}

QWidget* TfrmWaterMark::BuildTextPage() {
  auto* page = new QWidget(this);
  ui_.edtFont = named<QLineEdit>("edtFont", page);
  // High enough for the largest size the box shows, so that the page does not move.
  QFont largest = ui_.edtFont->font();
  largest.setPointSize(kLargestShownSize);
  ui_.edtFont->setFixedHeight(QFontMetrics(largest).height() + 10);
  ui_.cmbFontName = named<QFontComboBox>("cmbFontName", page);
  ui_.cmbFontSize = named<QComboBox>("cmbFontSize", page);
  ui_.cmbFontSize->setEditable(true);
  for (int size = 7; size <= 70; ++size) ui_.cmbFontSize->addItem(QString::number(size));
  ui_.cmbFontColor = named<QComboBox>("cmbFontColor", page);
  for (const auto& [name, rgb] : kColours) ui_.cmbFontColor->addItem(swatch(QColor(rgb)), name, QColor(rgb));
  ui_.chkBold = named<QCheckBox>("chkBold", QStringLiteral("Bold"), page);
  ui_.chkItalic = named<QCheckBox>("chkItalic", QStringLiteral("Italic"), page);
  ui_.chkUnderline = named<QCheckBox>("chkUnderline", QStringLiteral("Underline"), page);
  ui_.chkStrikeOut = named<QCheckBox>("chkStrikeOut", QStringLiteral("Strike Out"), page);
  ui_.btnClearText = named<QPushButton>("btnClearText", QStringLiteral("Clear Text"), page);
  ui_.trcTextHoriz = slider("trcTextHoriz", 0, 100, page);
  ui_.trcTextVert = slider("trcTextVert", 0, 100, page);
  ui_.lblTextHoriz = valueBox("lblTextHoriz", page);
  ui_.lblTextVert = valueBox("lblTextVert", page);

  auto* form = new QFormLayout(page);
  auto* text = new QHBoxLayout;
  text->addWidget(ui_.edtFont, 1);
  text->addWidget(ui_.btnClearText);
  form->addRow(QStringLiteral("Text:"), text);
  form->addRow(QStringLiteral("Font:"), ui_.cmbFontName);
  auto* sizeAndColour = new QHBoxLayout;
  sizeAndColour->addWidget(ui_.cmbFontSize);
  sizeAndColour->addWidget(new QLabel(QStringLiteral("Color:"), page));
  sizeAndColour->addWidget(ui_.cmbFontColor, 1);
  form->addRow(QStringLiteral("Size:"), sizeAndColour);
  auto* styles = new QGridLayout;
  styles->addWidget(ui_.chkBold, 0, 0);
  styles->addWidget(ui_.chkItalic, 0, 1);
  styles->addWidget(ui_.chkUnderline, 1, 0);
  styles->addWidget(ui_.chkStrikeOut, 1, 1);
  form->addRow(QStringLiteral("Style:"), styles);
  addSliderRow(form, QStringLiteral("Horizontal (%):"), ui_.trcTextHoriz, ui_.lblTextHoriz);
  addSliderRow(form, QStringLiteral("Vertical (%):"), ui_.trcTextVert, ui_.lblTextVert);
  return page;
}

QWidget* TfrmWaterMark::BuildImagePage() {
  auto* page = new QWidget(this);
  ui_.edtImage = named<QLineEdit>("edtImage", page);
  ui_.edtImage->setReadOnly(true);
  ui_.btnBrows = named<QPushButton>("btnBrows", QStringLiteral("&Brows"), page);
  ui_.btnClearImage = named<QPushButton>("btnClearImage", QStringLiteral("Clear Image"), page);
  ui_.trcImageHoriz = slider("trcImageHoriz", 0, 100, page);
  ui_.trcImageVert = slider("trcImageVert", 0, 100, page);
  ui_.lblImageHoriz = valueBox("lblImageHoriz", page);
  ui_.lblImageVert = valueBox("lblImageVert", page);
  ui_.trcAlpha = slider("trcAlpha", 0, 255, page);
  ui_.lblAlpha = valueBox("lblAlpha", page);
  ui_.rbStyle1 = named<QRadioButton>("rbStyle1", QStringLiteral("Transparent style 1"), page);
  ui_.rbStyle2 = named<QRadioButton>("rbStyle2", QStringLiteral("Transparent style 2"), page);

  auto* form = new QFormLayout(page);
  auto* path = new QHBoxLayout;
  path->addWidget(ui_.edtImage, 1);
  path->addWidget(ui_.btnBrows);
  form->addRow(QStringLiteral("Image:"), path);
  form->addRow(QString(), ui_.btnClearImage);
  addSliderRow(form, QStringLiteral("Horizontal (%):"), ui_.trcImageHoriz, ui_.lblImageHoriz);
  addSliderRow(form, QStringLiteral("Vertical (%):"), ui_.trcImageVert, ui_.lblImageVert);
  addSliderRow(form, QStringLiteral("Alpha:"), ui_.trcAlpha, ui_.lblAlpha);
  form->addRow(QString(), ui_.rbStyle1);
  form->addRow(QString(), ui_.rbStyle2);
  return page;
}

QWidget* TfrmWaterMark::BuildEffectPage() {
  auto* page = new QWidget(this);
  const auto adjustment = [page](const char* barName, const char* spinName, int minimum, int maximum,
                                 QSlider*& bar, QSpinBox*& spin) {
    bar = slider(barName, minimum, maximum, page);
    spin = named<QSpinBox>(spinName, page);
    spin->setRange(minimum, maximum);
    spin->findChild<QLineEdit*>()->setReadOnly(true);  // the arrows only
    spin->setFixedWidth(70);
  };
  adjustment("trcBrightness", "spnBrightness", 0, 512, ui_.trcBrightness, ui_.spnBrightness);
  adjustment("trcContrast", "spnContrast", -100, 100, ui_.trcContrast, ui_.spnContrast);
  adjustment("trcSaturation", "spnSaturation", 0, 512, ui_.trcSaturation, ui_.spnSaturation);
  adjustment("trcExposure", "spnExposure", -255, 512, ui_.trcExposure, ui_.spnExposure);
  ui_.chkProcessText = named<QCheckBox>("chkProcessText", QStringLiteral("Apply the effects to the text"), page);
  ui_.chkProcessImage = named<QCheckBox>("chkProcessImage", QStringLiteral("Apply the effects to the image"), page);
  ui_.btnReset = named<QPushButton>("btnReset", QStringLiteral("Reset"), page);

  auto* form = new QFormLayout(page);
  addSliderRow(form, QStringLiteral("Brightness:"), ui_.trcBrightness, ui_.spnBrightness);
  addSliderRow(form, QStringLiteral("Contrast:"), ui_.trcContrast, ui_.spnContrast);
  addSliderRow(form, QStringLiteral("Saturation:"), ui_.trcSaturation, ui_.spnSaturation);
  addSliderRow(form, QStringLiteral("Exposure:"), ui_.trcExposure, ui_.spnExposure);
  form->addRow(QString(), ui_.chkProcessText);
  form->addRow(QString(), ui_.chkProcessImage);
  form->addRow(QString(), ui_.btnReset);
  return page;
}
