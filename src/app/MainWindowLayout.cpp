#include "app/MainWindowLayout.h"
#include "ui/NamedWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QToolButton* toolButton(const char* name, QStyle::StandardPixmap icon, const QString& hint, QWidget* style) {
  auto* button = named<QToolButton>(name);
  button->setIcon(style->style()->standardIcon(icon));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  return button;
}

QComboBox* combo(const char* name, bool editable) {
  auto* box = named<QComboBox>(name);
  box->setEditable(editable);
  box->setMinimumWidth(60);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(4);
  return box;
}

QHBoxLayout* buildButtonRow(MainControls& c) {
  auto* row = new QHBoxLayout;
  c.btnAdd = named<QPushButton>("btnAdd", QStringLiteral("&Add"));
  c.btnRemove = named<QPushButton>("btnRemove", QStringLiteral("&Remove"));
  c.btnClear = named<QPushButton>("btnClear", QStringLiteral("&Clear"));
  c.BtnEdit = named<QPushButton>("BtnEdit", QStringLiteral("&Edit"));
  c.btnStart = named<QPushButton>("btnStart", QStringLiteral("&Start"));
  c.BtnAddDVD = named<QPushButton>("BtnAddDVD", QStringLiteral("&Add DVD"));
  c.btnDVDStart = named<QPushButton>("btnDVDStart", QStringLiteral("&Start"));
  c.btnExit = named<QPushButton>("btnExit", QStringLiteral("&Exit"));
  for (auto* b : {c.BtnAddDVD, c.btnDVDStart, c.btnAdd, c.btnRemove, c.btnClear, c.BtnEdit, c.btnStart, c.btnExit})
    b->setFixedWidth(74);
  for (auto* b : {c.BtnAddDVD, c.btnDVDStart, c.btnAdd, c.btnRemove, c.btnClear, c.BtnEdit, c.btnStart})
    row->addWidget(b);
  // Batch control on the main window; hidden, the progress window offers the same.
  c.btnPause = named<QPushButton>("btnPause", QStringLiteral("Pause"));
  c.btnResume = named<QPushButton>("btnResume", QStringLiteral("Resume"));
  c.btnStop = named<QPushButton>("btnStop", QStringLiteral("Stop"));
  for (auto* b : {c.btnPause, c.btnResume, c.btnStop}) {
    b->setVisible(false);
    b->setEnabled(false);
    row->addWidget(b);
  }
  row->addStretch();
  row->addWidget(c.btnExit);
  return row;
}

QGroupBox* buildDvdGroup(MainControls& c, QWidget* style) {
  c.grpDvd = named<QGroupBox>("grpDvd");
  c.cmbAudioLanguage = combo("cmbAudioLanguage", false);
  c.cmbSubtitle = combo("cmbSubtitle", false);
  c.edtFrom = named<QLineEdit>("edtFrom");
  c.edtTo = named<QLineEdit>("edtTo");
  for (auto* edit : {c.edtFrom, c.edtTo}) {
    edit->setReadOnly(true);
    edit->setFixedWidth(30);
  }
  c.btnFromUp = toolButton("btnFromUp", QStyle::SP_ArrowUp, {}, style);
  c.btnFromDown = toolButton("btnFromDown", QStyle::SP_ArrowDown, {}, style);
  c.btnToUp = toolButton("btnToUp", QStyle::SP_ArrowUp, {}, style);
  c.btnToDown = toolButton("btnToDown", QStyle::SP_ArrowDown, {}, style);

  auto* streams = new QHBoxLayout;
  streams->addWidget(new QLabel(QStringLiteral("Audio:")));
  streams->addWidget(c.cmbAudioLanguage, 1);
  streams->addSpacing(6);
  streams->addWidget(new QLabel(QStringLiteral("Subtitle:")));
  streams->addWidget(c.cmbSubtitle, 1);
  auto* chapters = new QHBoxLayout;
  chapters->setSpacing(3);
  chapters->addWidget(new QLabel(QStringLiteral("Rip Chapter from: ")));
  for (QWidget* w : std::initializer_list<QWidget*>{c.edtFrom, c.btnFromUp, c.btnFromDown}) chapters->addWidget(w);
  chapters->addWidget(new QLabel(QStringLiteral("to")));
  for (QWidget* w : std::initializer_list<QWidget*>{c.edtTo, c.btnToUp, c.btnToDown}) chapters->addWidget(w);
  chapters->addStretch();
  auto* column = new QVBoxLayout(c.grpDvd);
  column->setSpacing(3);
  column->setContentsMargins(6, 4, 6, 4);
  column->addLayout(streams);
  column->addLayout(chapters);
  return c.grpDvd;
}

QWidget* buildPreviewPane(MainControls& c, QWidget* style) {
  auto* pane = new QWidget;
  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(0, 0, 0, 0);
  c.pan1 = named<QFrame>("pan1");
  c.pan1->setFixedSize(243, 171);
  c.pan1->setAutoFillBackground(true);
  QPalette grey = c.pan1->palette();
  grey.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
  c.pan1->setPalette(grey);
  c.trcPreview = named<QSlider>("trcPreview", Qt::Horizontal);
  c.lblTime = named<QLabel>("lblTime", QStringLiteral("00:00:00"));
  c.lblPTS = named<QLabel>("lblPTS", QStringLiteral("00:00:00"));
  c.imgbtnPlay = toolButton("imgbtnPlay", QStyle::SP_MediaPlay, QStringLiteral("play"), style);
  c.imgbtnPAuse = toolButton("imgbtnPAuse", QStyle::SP_MediaPause, QStringLiteral("pause"), style);
  c.imgbtnStop = toolButton("imgbtnStop", QStyle::SP_MediaStop, QStringLiteral("stop"), style);
  c.imgbtnSnap = toolButton("imgbtnSnap", QStyle::SP_DialogSaveButton, QStringLiteral("capture image"), style);
  c.ckMute = named<QCheckBox>("ckMute", QStringLiteral("Mute"));
  c.trcVolume = named<QSlider>("trcVolume", Qt::Horizontal);
  c.trcVolume->setFixedWidth(70);

  auto* times = new QHBoxLayout;
  times->addWidget(c.lblTime);
  times->addStretch();
  times->addWidget(c.lblPTS);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {c.imgbtnPlay, c.imgbtnPAuse, c.imgbtnStop, c.imgbtnSnap}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(c.ckMute);
  buttons->addWidget(c.trcVolume);
  column->addWidget(c.pan1);
  column->addWidget(c.trcPreview);
  column->addLayout(times);
  column->addLayout(buttons);
  column->addStretch();
  return pane;
}

QGroupBox* optionsGroup(const QString& caption, const std::initializer_list<std::pair<const char*, QComboBox*>>& rows) {
  auto* group = new QGroupBox(caption);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  grid->setHorizontalSpacing(3);
  grid->setContentsMargins(4, 4, 4, 4);
  int index = 0;
  for (const auto& [label, box] : rows) {
    grid->addWidget(new QLabel(QString::fromLatin1(label)), index / 2, (index % 2) * 2);
    grid->addWidget(box, index / 2, (index % 2) * 2 + 1);
    ++index;
  }
  return group;
}

QWidget* buildParameterPanel(MainControls& c, QWidget* style) {
  auto* panel = new QWidget;
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);

  c.edt1 = named<QLineEdit>("edt1");
  c.edt1->setReadOnly(true);
  c.imgbtn1 = toolButton("imgbtn1", QStyle::SP_ArrowDown, {}, style);
  c.lst1 = named<QListWidget>("lst1");
  c.btnDefault = named<QPushButton>("btnDefault", QStringLiteral("Default"));
  auto* formatRow = new QHBoxLayout;
  formatRow->addWidget(new QLabel(QStringLiteral("Format:")));
  formatRow->addWidget(c.edt1, 1);
  formatRow->addWidget(c.imgbtn1);
  formatRow->addWidget(c.btnDefault);
  column->addLayout(formatRow);

  c.cmbVideoSize = combo("cmbVideoSize", true);
  c.cmbVideoEncoder = combo("cmbVideoEncoder", false);
  c.cmbVideoBitRate = combo("cmbVideoBitRate", true);
  c.cmbFrameRate = combo("cmbFrameRate", false);
  c.cmbZoom = combo("cmbZoom", false);
  c.cmbSamplerate = combo("cmbSamplerate", true);
  c.cmbAudioBitRate = combo("cmbAudioBitRate", true);
  c.cmbAudioEncoder = combo("cmbAudioEncoder", false);
  c.cmbChannel = combo("cmbChannel", false);
  c.cmbVolume = combo("cmbVolume", false);
  // Wider for their longer items, as far as the window's width allows.
  c.cmbZoom->setMinimumContentsLength(11);
  c.cmbChannel->setMinimumContentsLength(15);
  c.cmbSamplerate->setMinimumContentsLength(5);
  c.cmbFrameRate->setMinimumContentsLength(8);  // "as source"
  auto* groups = new QHBoxLayout;
  groups->addWidget(optionsGroup(QStringLiteral("Video Options"),
                                 {{"Frame Size:", c.cmbVideoSize},
                                  {"Encoder:", c.cmbVideoEncoder},
                                  {"BitRate (Kbps):", c.cmbVideoBitRate},
                                  {"FrameRate (Fps):", c.cmbFrameRate},
                                  {"Zoom:", c.cmbZoom}}));
  groups->addWidget(optionsGroup(QStringLiteral("Audio Options"),
                                 {{"SampleRate (Hz):", c.cmbSamplerate},
                                  {"BitRate (Kbps):", c.cmbAudioBitRate},
                                  {"Encoder:", c.cmbAudioEncoder},
                                  {"Channel:", c.cmbChannel},
                                  {"Volume:", c.cmbVolume}}));
  column->addLayout(groups);
  // The ten options share the window's width: the program's classic small
  // type lets every value show in full.
  for (int i = 0; i < groups->count(); ++i) {
    QWidget* group = groups->itemAt(i)->widget();
    QFont font = group->font();
    font.setPointSize(8);
    group->setFont(font);
  }
  return panel;
}

QHBoxLayout* buildOutputRow(MainControls& c) {
  auto* row = new QHBoxLayout;
  c.edDirectory = named<QLineEdit>("edDirectory");
  c.edDirectory->setReadOnly(true);
  c.btnBrows = named<QPushButton>("btnBrows", QStringLiteral("Brows"));
  c.btnOpen = named<QPushButton>("btnOpen", QStringLiteral("Open"));
  c.btnStartBelow = named<QPushButton>("btnStartBelow", QStringLiteral("&Start"));
  row->addWidget(new QLabel(QStringLiteral("Output:")));
  row->addWidget(c.edDirectory, 1);
  row->addWidget(c.btnBrows);
  row->addWidget(c.btnOpen);
  row->addWidget(c.btnStartBelow);
  return row;
}

}  // namespace

void BuildMainLayout(QMainWindow* window, MainControls& c) {
  auto* central = new QWidget(window);
  window->setCentralWidget(central);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(6, 4, 6, 4);
  column->setSpacing(4);

  column->addLayout(buildButtonRow(c));

  c.lvFiles = named<QTreeWidget>("lvFiles");
  c.lvFiles->setRootIsDecorated(false);
  c.lvFiles->setAlternatingRowColors(true);
  c.lvFiles->setContextMenuPolicy(Qt::CustomContextMenu);
  c.lvFiles->header()->setStretchLastSection(false);
  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(buildDvdGroup(c, window));
  listColumn->addWidget(c.lvFiles, 1);
  auto* middle = new QHBoxLayout;
  middle->addLayout(listColumn, 1);
  middle->addWidget(buildPreviewPane(c, window));
  column->addLayout(middle, 1);

  column->addWidget(buildParameterPanel(c, window));
  column->addLayout(buildOutputRow(c));

  // The format list opens above the format field, over the other controls.
  c.lst1->setParent(window);
  c.lst1->hide();

  c.cbOutputFormat = combo("cbOutputFormat", false);
  c.cbOutputFormat->setParent(central);
  c.cbOutputFormat->hide();
  c.mmoLog = named<QPlainTextEdit>("mmoLog");
  c.mmoLog->setReadOnly(true);
  c.mmoLog->setMaximumBlockCount(5000);
  c.mmoLog->setFixedHeight(90);
  c.mmoLog->hide();
  column->addWidget(c.mmoLog);
}
