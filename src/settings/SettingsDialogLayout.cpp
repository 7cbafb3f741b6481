// The controls of the settings dialog and their places.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/SettingsDialog.h"

namespace {

QComboBox* Combo(const char* name, bool editable) {
  auto* combo = new QComboBox;
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(editable);
  combo->setMinimumWidth(130);
  return combo;
}

QGroupBox* Group(const QString& caption, std::initializer_list<std::pair<const char*, QComboBox*>> rows) {
  auto* group = new QGroupBox(caption);
  auto* grid = new QGridLayout(group);
  int row = 0;
  for (const auto& [label, combo] : rows) {
    grid->addWidget(new QLabel(QString::fromLatin1(label)), row, 0);
    grid->addWidget(combo, row++, 1);
  }
  grid->setRowStretch(row, 1);
  return group;
}

}  // namespace

void TfrmSettings::BuildLayout() {
  ui_.edt1 = new QLineEdit;
  ui_.edt1->setObjectName(QStringLiteral("edt1"));
  ui_.edt1->setReadOnly(true);
  ui_.edt1->setTextMargins(4, 2, 0, 0);
  ui_.imgbtn1 = new QToolButton;
  ui_.imgbtn1->setObjectName(QStringLiteral("imgbtn1"));
  ui_.imgbtn1->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
  ui_.imgbtn1->setAutoRaise(true);
  auto* formatRow = new QHBoxLayout;
  formatRow->setSpacing(0);
  formatRow->addWidget(new QLabel(QStringLiteral("Format: ")));
  formatRow->addWidget(ui_.edt1, 1);
  formatRow->addWidget(ui_.imgbtn1);

  TParameterCombos& c = ui_.combos;
  c.cmbVideoSize = Combo("cmbVideoSize", true);
  c.cmbVideoEncoder = Combo("cmbVideoEncoder", false);
  c.cmbVideoBitRate = Combo("cmbVideoBitRate", true);
  c.cmbFrameRate = Combo("cmbFrameRate", false);
  c.cmbZoom = Combo("cmbZoom", false);
  c.cmbSamplerate = Combo("cmbSamplerate", true);
  c.cmbAudioEncoder = Combo("cmbAudioEncoder", false);
  c.cmbAudioBitRate = Combo("cmbAudioBitRate", true);
  c.cmbChannel = Combo("cmbChannel", false);
  c.cmbVolume = Combo("cmbVolume", false);
  auto* groups = new QHBoxLayout;
  groups->addWidget(Group(QStringLiteral("Video Options"), {{"Frame Size:", c.cmbVideoSize},
                                                           {"Encoder:", c.cmbVideoEncoder},
                                                           {"BitRate (Kbps):", c.cmbVideoBitRate},
                                                           {"FrameRate (Fps):", c.cmbFrameRate},
                                                           {"Zoom:", c.cmbZoom}}));
  groups->addWidget(Group(QStringLiteral("Audio Options"), {{"SampleRate (Hz):", c.cmbSamplerate},
                                                           {"Encoder:", c.cmbAudioEncoder},
                                                           {"BitRate (Kbps):", c.cmbAudioBitRate},
                                                           {"Channel:", c.cmbChannel},
                                                           {"Volume:", c.cmbVolume}}));

  ui_.btnDefault = new QPushButton(QStringLiteral("&Default"));
  ui_.btnOk = new QPushButton(QStringLiteral("&Ok"));
  ui_.btnCancel = new QPushButton(QStringLiteral("&Cancel"));
  // Enter in a field closes nothing: each value is checked when its field is left.
  for (QPushButton* button : {ui_.btnDefault, ui_.btnOk, ui_.btnCancel}) button->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ui_.btnDefault);
  buttons->addStretch();
  buttons->addWidget(ui_.btnOk);
  buttons->addWidget(ui_.btnCancel);

  auto* column = new QVBoxLayout(this);
  column->addLayout(formatRow);
  column->addLayout(groups);
  column->addLayout(buttons);

  // The format list opens below the field, over the option groups.
  ui_.lst1 = new QListWidget(this);
  ui_.lst1->setObjectName(QStringLiteral("lst1"));
  ui_.lst1->hide();
  setFixedSize(sizeHint().expandedTo(QSize(560, 300)));
}
