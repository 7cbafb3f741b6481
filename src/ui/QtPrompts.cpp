#include "ui/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

#include "ui/DvdChooser.h"
#include "ui/FolderChooser.h"

namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

PromptAnswer fromQtButton(int button) {
  switch (button) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default: return PromptAnswer::Cancel;
  }
}

}  // namespace

PromptAnswer QtPrompts::ask(QWidget* parent, const PromptMessage& message) {
  QMessageBox box(toQtIcon(message.icon), message.caption, message.text,
                  toQtButtons(message.buttons), parent);
  return fromQtButton(box.exec());
}

// Patterns match names regardless of letter case, as users of the file types expect.
namespace {

QString qtFilter(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern : filter.patterns.split(';', Qt::SkipEmptyParts)) {
    patterns << pattern.toLower();
    if (pattern.toUpper() != pattern.toLower()) patterns << pattern.toUpper();
  }
  patterns.removeDuplicates();
  return filter.description + " (" + patterns.join(' ') + ")";
}

// The open dialog starts where the user last chose files, at first in the home folder.
QString lastFolder = QDir::homePath();  // UI thread only

}  // namespace

QStringList QtPrompts::openFiles(QWidget* parent, const OpenFilesRequest& request) {
  QFileDialog dialog(parent, request.caption, lastFolder);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The descriptions already say which files they show.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList filters;
  for (const FileFilter& filter : request.filters) filters << qtFilter(filter);
  dialog.setNameFilters(filters);
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted) return {};
  lastFolder = dialog.directory().absolutePath();
  return dialog.selectedFiles();
}

void QtPrompts::beep() { QApplication::beep(); }

namespace {
QPointer<TfmDirectory> folderChooser;  // UI thread only; goes with the window it belongs to
}

// The chooser belongs to the window that shows it, so that it is centred over
// that window and never outlives the windows.
QString QtPrompts::chooseFolder(QWidget* parent) {
  QWidget* window = parent ? parent->window() : nullptr;
  if (!folderChooser) folderChooser = new TfmDirectory(window);
  if (folderChooser->parentWidget() != window) folderChooser->setParent(window, folderChooser->windowFlags());
  folderChooser->exec();
  return folderChooser->ChosenPath();
}

QString QtPrompts::chooseDvd(QWidget* parent) {
  TDvdChooser chooser(parent, lastFolder);
  if (chooser.exec() != QDialog::Accepted) return {};
  lastFolder = QFileInfo(chooser.ChosenPath()).absolutePath();
  return chooser.ChosenPath();
}
