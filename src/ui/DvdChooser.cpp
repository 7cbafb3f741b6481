#include "ui/DvdChooser.h"

#include "ui/DvdSourcePath.h"

TDvdChooser::TDvdChooser(QWidget* parent, const QString& folder)
    : QFileDialog(parent, QStringLiteral("Add DVD Folder or ISO"), folder) {
  setOption(QFileDialog::DontUseNativeDialog);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilters({QStringLiteral("DVD folders and images (*.iso *.ISO VIDEO_TS.IFO video_ts.ifo)"),
                  QStringLiteral("All files (*)")});
  setLabelText(QFileDialog::FileName, QStringLiteral("DVD:"));
  setSizeGripEnabled(true);
}

void TDvdChooser::accept() {
  // What is selected, else the folder shown (a DVD folder already entered).
  const QString selected = selectedFiles().value(0);
  chosen_ = DvdSourcePath(selected.isEmpty() ? directory().absolutePath() : selected);
  if (!chosen_.isEmpty()) {
    QDialog::accept();
    return;
  }
  QFileDialog::accept();  // enters a folder, or takes a file for what it is
  if (result() == QDialog::Accepted) chosen_ = selectedFiles().value(0);
}
