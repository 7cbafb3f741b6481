#include "settings/PreferenceLayout.h"
#include "ui/NamedWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// A caption in the left column and the controls of its row beside it.
void addRow(QGridLayout* grid, const QString& caption, std::initializer_list<QWidget*> widgets) {
  const int row = grid->rowCount();
  grid->addWidget(new QLabel(caption), row, 0);
  auto* line = new QHBoxLayout;
  for (QWidget* widget : widgets) line->addWidget(widget);
  line->addStretch();
  grid->addLayout(line, row, 1);
}

QGroupBox* buildSnapshotGroup(PreferenceControls& c) {
  c.edtSnapDirectory = named<QLineEdit>("edtSnapDirectory");
  c.edtSnapDirectory->setReadOnly(true);
  c.edtSnapDirectory->setMinimumWidth(260);
  c.btnOpen = named<QPushButton>("btnOpen", QStringLiteral("&Open"));
  c.btnBrows = named<QPushButton>("btnBrows", QStringLiteral("&Brows"));
  c.ckSmallSize = named<QCheckBox>("ckSmallSize", QStringLiteral("Small Size"));
  c.ckFullSize = named<QCheckBox>("ckFullSize", QStringLiteral("Full Size"));
  c.ckBmp = named<QCheckBox>("ckBmp", QStringLiteral("BMP"));
  c.ckJpg = named<QCheckBox>("ckJpg", QStringLiteral("JPG"));
  for (QCheckBox* box : {c.ckSmallSize, c.ckFullSize, c.ckBmp, c.ckJpg}) box->setMinimumWidth(90);
  c.spedCmp = named<QSpinBox>("spedCmp");
  c.trcCmp = named<QSlider>("trcCmp", Qt::Horizontal);
  c.trcCmp->setMinimumWidth(160);

  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  const int folderRow = grid->rowCount();
  grid->addWidget(new QLabel(QStringLiteral("Snapshot folder:")), folderRow, 0);
  auto* folder = new QHBoxLayout;
  folder->addWidget(c.edtSnapDirectory, 1);
  folder->addWidget(c.btnOpen);
  folder->addWidget(c.btnBrows);
  grid->addLayout(folder, folderRow, 1);
  addRow(grid, QStringLiteral("Snapshot size:"), {c.ckSmallSize, c.ckFullSize});
  addRow(grid, QStringLiteral("Snapshot format:"), {c.ckBmp, c.ckJpg});
  addRow(grid, QStringLiteral("Jpg Compression Quality:"), {c.spedCmp, c.trcCmp});
  grid->addWidget(new QLabel(QStringLiteral("(The higher the value, the better the image quality.)")),
                  grid->rowCount(), 1);

  auto* group = named<QGroupBox>("grpSnapshot", QStringLiteral("Snapshot"));
  group->setLayout(grid);
  return group;
}

QGroupBox* buildPriorityGroup(PreferenceControls& c) {
  c.rdGrpPriority = named<QGroupBox>("rdGrpPriority", QStringLiteral("Work priority"));
  c.priorityItems = new QButtonGroup(c.rdGrpPriority);
  auto* items = new QGridLayout(c.rdGrpPriority);
  const QStringList captions{QStringLiteral("Idle"), QStringLiteral("Normal"), QStringLiteral("Lower"),
                             QStringLiteral("Lowest")};
  for (int i = 0; i < captions.size(); ++i) {
    auto* item = new QRadioButton(captions[i]);
    c.priorityItems->addButton(item, i);
    items->addWidget(item, 0, i);
    items->setColumnStretch(i, 1);
  }
  return c.rdGrpPriority;
}

// Interlaced video (TV material on DVDs, broadcast captures) shows comb teeth
// unless it is deinterlaced; Auto finds out per picture.
QHBoxLayout* buildDeinterlaceRow(PreferenceControls& c) {
  c.cmbDeinterlace = named<QComboBox>("cmbDeinterlace");
  c.cmbDeinterlace->addItems({QStringLiteral("Auto"), QStringLiteral("Always"), QStringLiteral("Never")});
  auto* label = new QLabel(QStringLiteral("&Deinterlace:"));
  label->setBuddy(c.cmbDeinterlace);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(c.cmbDeinterlace);
  row->addStretch();
  return row;
}

QHBoxLayout* buildButtonRow(PreferenceControls& c) {
  c.btnCancel = named<QPushButton>("btnCancel", QStringLiteral("&Cancel"));
  c.btnOk = named<QPushButton>("btnOk", QStringLiteral("&Ok"));
  c.btnDefault = named<QPushButton>("btnDefault", QStringLiteral("&Default"));
  auto* row = new QHBoxLayout;
  row->addWidget(c.btnDefault);
  row->addStretch();
  row->addWidget(c.btnOk);
  row->addWidget(c.btnCancel);
  return row;
}

}  // namespace

PreferenceControls BuildPreferenceControls(QDialog* dialog) {
  PreferenceControls c;
  auto* column = new QVBoxLayout(dialog);
  column->addWidget(buildSnapshotGroup(c));
  column->addWidget(buildPriorityGroup(c));
  column->addLayout(buildDeinterlaceRow(c));
  c.ckCheckUpdates = named<QCheckBox>("ckCheckUpdates", QStringLiteral("Check for updates at start-up"));
  column->addWidget(c.ckCheckUpdates);
  column->addStretch();
  column->addLayout(buildButtonRow(c));
  return c;
}
