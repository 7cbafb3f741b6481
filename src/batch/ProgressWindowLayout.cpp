#include "batch/ProgressWindowLayout.h"
#include "ui/NamedWidget.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "preview/PreviewPicture.h"
#include "preview/SnapshotIcon.h"
#include "ui/ElidedLabel.h"
#include "ui/TipsBanner.h"

namespace {

constexpr QSize kPreviewSize(388, 199);
const QColor kPreviewBackground(0xA6, 0xCA, 0xF0);
constexpr int kOutputWidth = 283;

// A caption and its value side by side in the grid.
void addPair(QGridLayout* grid, int row, int column, const char* caption, QLabel* value) {
  grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, column);
  grid->addWidget(value, row, column + 1);
}

QGridLayout* buildLabelGrid(ProgressControls& c) {
  c.lblTime = named<QLabel>("lblTime");
  c.lblLength = named<QLabel>("lblLength");
  c.lblSize = named<QLabel>("lblSize");
  c.lblProgress = named<QLabel>("lblProgress");
  c.lblOutput = named<TElidedLabel>("lblOutput");
  c.lblOutput->setFixedWidth(kOutputWidth);
  c.lblRemainingCaption = named<QLabel>("lblRemainingCaption", QStringLiteral("Remaining:"));
  c.lblRemaining = named<QLabel>("lblRemaining");
  for (QLabel* label : {c.lblRemainingCaption, c.lblRemaining}) {
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);  // the rows below stay put while it is hidden
    label->setSizePolicy(policy);
  }
  c.imgbtnSnap = named<QToolButton>("imgbtnSnap");
  c.imgbtnSnap->setIcon(SnapshotIcon());
  c.imgbtnSnap->setIconSize(QSize(32, 32));
  c.imgbtnSnap->setAutoRaise(true);
  c.imgbtnSnap->setToolTip(QStringLiteral("Save snapshot picture"));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  addPair(grid, 0, 0, "Current Time:", c.lblTime);
  addPair(grid, 0, 2, "Length:", c.lblLength);
  addPair(grid, 1, 0, "File Size:", c.lblSize);
  addPair(grid, 1, 2, "Progress:", c.lblProgress);
  grid->addWidget(new QLabel(QStringLiteral("File:")), 2, 0);
  grid->addWidget(c.lblOutput, 2, 1, 1, 3);
  grid->addWidget(c.lblRemainingCaption, 3, 0);
  grid->addWidget(c.lblRemaining, 3, 1, 1, 3);
  grid->addWidget(c.imgbtnSnap, 0, 4, 2, 1, Qt::AlignRight | Qt::AlignTop);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return grid;
}

QHBoxLayout* buildButtonRow(ProgressControls& c) {
  c.btnPause = named<QPushButton>("btnPause", QStringLiteral("Pause"));
  c.btnResume = named<QPushButton>("btnResume", QStringLiteral("Resume"));
  c.btnCancel = named<QPushButton>("btnCancel", QStringLiteral("Cancel"));
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : {c.btnPause, c.btnResume, c.btnCancel}) {
    button->setAutoDefault(false);
    row->addWidget(button);
  }
  return row;
}

}  // namespace

ProgressControls BuildProgressControls(QDialog* dialog) {
  ProgressControls c;
  c.lblTips = named<TTipsBanner>("lblTips");
  c.lblTips->setFixedHeight(42);
  c.lblTips->setFrameShape(QFrame::StyledPanel);
  c.lblTips->setMargin(3);
  c.imgPreview = named<TPreviewPicture>("imgPreview", kPreviewSize, kPreviewBackground);
  c.progbarFile = named<QProgressBar>("progbarFile");
  c.progbarFile->setTextVisible(true);
  c.ckOpen = named<QCheckBox>("ckOpen", QStringLiteral("Open the output folder after conversion"));
  c.ckShutDown = named<QCheckBox>("ckShutDown", QStringLiteral("Shut down computer after conversion"));

  auto* column = new QVBoxLayout(dialog);
  column->setContentsMargins(16, 10, 16, 10);
  column->setSpacing(6);
  column->addWidget(c.lblTips);
  column->addWidget(c.imgPreview, 0, Qt::AlignHCenter);
  column->addLayout(buildLabelGrid(c));
  column->addWidget(c.progbarFile);
  column->addWidget(c.ckOpen);
  column->addWidget(c.ckShutDown);
  column->addStretch();
  column->addLayout(buildButtonRow(c));
  return c;
}
