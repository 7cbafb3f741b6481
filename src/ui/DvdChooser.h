#pragma once

#include <QFileDialog>

// The open dialog of "Add DVD Folder or ISO...": shows folders and .iso images
// (and VIDEO_TS.IFO files); "Open" on a DVD folder, a VIDEO_TS folder or an
// image chooses it instead of entering it.
class TDvdChooser : public QFileDialog {
  Q_OBJECT

 public:
  TDvdChooser(QWidget* parent, const QString& folder);
  // The path to open, empty until something was chosen.
  QString ChosenPath() const { return chosen_; }

  void accept() override;

 private:
  QString chosen_;
};
