#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QFileSystemModel;
class QModelIndex;
class QPushButton;
class QTreeView;

// The folder chooser ("Brows"): a tree of the file system's folders. Shown
// modally; afterwards ChosenPath() is the chosen folder, empty when cancelled.
// Folders on an optical medium are refused. UI thread only.
class TfmDirectory : public QDialog {
  Q_OBJECT

 public:
  // Whether a folder lies on an optical medium; replaceable for tests.
  using OpticalTest = std::function<bool(const QString& folder)>;

  explicit TfmDirectory(QWidget* parent = nullptr);

  const QString& ChosenPath() const { return chosenPath_; }
  void SetOpticalTest(OpticalTest test) { isOptical_ = std::move(test); }
  // Selects folder in the tree as a click on it would.
  void SelectFolder(const QString& folder);

  QTreeView* stview_selectdir = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateOkButton();
  void KeepSelectionInView();
  void btnOkClick();
  QString SelectedFolder() const;

  QFileSystemModel* model_ = nullptr;
  QString chosenPath_;  // kept between showings
  bool followSelection_ = false;  // scroll to the selected folder as the tree loads
  OpticalTest isOptical_;
};

// Whether folder may be confirmed in the chooser: a folder of the file system
// that is not one of the kernel's virtual top-level folders (/proc, /sys,
// /dev, /run), where no output can be kept.
bool IsConfirmableFolder(const QString& folder);
