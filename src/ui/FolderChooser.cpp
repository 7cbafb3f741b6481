#include "ui/FolderChooser.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/ApplicationTitle.h"
#include "ui/OpticalMedia.h"
#include "ui/Prompts.h"

bool IsConfirmableFolder(const QString& folder) {
  if (folder.isEmpty()) return false;
  static const QStringList kVirtual{QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
                                    QStringLiteral("/run")};
  return !kVirtual.contains(QDir::cleanPath(folder));
}

TfmDirectory::TfmDirectory(QWidget* parent)
    : QDialog(parent), isOptical_([](const QString& folder) { return IsOnOpticalMedium(folder); }) {
  setObjectName(QStringLiteral("fmDirectory"));
  setWindowTitle(QStringLiteral("Brows"));
  resize(420, 440);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  model_->setRootPath(QStringLiteral("/"));
  stview_selectdir = new QTreeView;
  stview_selectdir->setObjectName(QStringLiteral("stview_selectdir"));
  stview_selectdir->setModel(model_);
  stview_selectdir->setRootIndex(model_->index(QStringLiteral("/")));
  stview_selectdir->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column) stview_selectdir->hideColumn(column);
  connect(stview_selectdir->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TfmDirectory::UpdateOkButton);
  // Folders load and sort in the background, moving the selected folder out
  // of view, until the user takes over.
  connect(model_, &QFileSystemModel::directoryLoaded, this, &TfmDirectory::KeepSelectionInView);
  connect(model_, &QAbstractItemModel::layoutChanged, this, &TfmDirectory::KeepSelectionInView);
  stview_selectdir->viewport()->installEventFilter(this);
  stview_selectdir->verticalScrollBar()->installEventFilter(this);

  btnOk = new QPushButton(QStringLiteral("Ok"));
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  connect(btnOk, &QPushButton::clicked, this, &TfmDirectory::btnOkClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfmDirectory::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancel);
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(QStringLiteral("Please select an output directory:")));
  column->addWidget(stview_selectdir, 1);
  column->addLayout(buttons);
}

// Each showing starts at the home folder.
void TfmDirectory::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) SelectFolder(QDir::homePath());
}

void TfmDirectory::SelectFolder(const QString& folder) {
  const QModelIndex index = model_->index(folder);
  stview_selectdir->setCurrentIndex(index);
  followSelection_ = true;
  KeepSelectionInView();
  UpdateOkButton();
}

bool TfmDirectory::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel) followSelection_ = false;
  return QDialog::eventFilter(watched, event);
}

void TfmDirectory::KeepSelectionInView() {
  if (followSelection_) stview_selectdir->scrollTo(stview_selectdir->currentIndex(), QAbstractItemView::PositionAtCenter);
}

QString TfmDirectory::SelectedFolder() const {
  const QModelIndex index = stview_selectdir->currentIndex();
  return index.isValid() ? model_->filePath(index) : QString();
}

void TfmDirectory::UpdateOkButton() { btnOk->setEnabled(IsConfirmableFolder(SelectedFolder())); }

void TfmDirectory::btnOkClick() {
  chosenPath_ = SelectedFolder();
  if (!IsConfirmableFolder(chosenPath_)) {
    chosenPath_.clear();
    return;
  }
  if (isOptical_(chosenPath_)) {
    chosenPath_.clear();
    prompts().ask(this, PromptMessage{applicationTitle(),
                                      QStringLiteral("Output folder cannot be located in CD-ROM.Please select another folder."),
                                      PromptButtons::Ok, PromptIcon::Information});
    return;
  }
  accept();
}

void TfmDirectory::reject() {
  chosenPath_.clear();
  QDialog::reject();
}
