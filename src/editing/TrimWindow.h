#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

#include "editing/TrimRules.h"

class Dispatcher;
class QLabel;
class QLineEdit;
class QPushButton;
class TSeekBar;
class QToolButton;
class TMediaPlayer;
class TVideoWidget;

// The "Trim" dialog: plays a job's source in its own player; the user marks
// the position shown as the start or the end of the part to convert. UI thread
// only; created once and reused.
class TfrmTrim : public QDialog {
  Q_OBJECT

 public:
  struct Controls {
    TVideoWidget* imgPreview = nullptr;
    TSeekBar* trcPreview = nullptr;
    QLabel* lblSource = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblLength = nullptr;
    QLineEdit* edtStart = nullptr;
    QLineEdit* edtEnd = nullptr;
    QLineEdit* edtLength = nullptr;
    QPushButton* btnSetStart = nullptr;
    QPushButton* btnSetEnd = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QToolButton* imgbtnPlay = nullptr;
    QToolButton* imgbtnPause = nullptr;
  };

  TfrmTrim(Dispatcher* dispatcher, const QString& libraryFolder, QWidget* parent);
  ~TfrmTrim() override;

  // Opens source (shown by its name sourceName) with the job's trim as the
  // marks, then runs the dialog. The choice after "Ok", nothing after "Cancel".
  std::unique_ptr<TrimChoice> Edit(const std::string& source, const QString& sourceName, std::int64_t trimStart,
                                   std::int64_t trimLength);

  const Controls& controls() const { return ui_; }
  TMediaPlayer& Player() { return *player_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildLayout();
  bool OpenSource(const std::string& source);
  void FileOpened(std::int64_t duration);
  void SetStart();
  void SetEnd();
  void Reset();
  void Ended();
  void ShowMarks();
  // The marked part on the seek bar.
  void ShowSelection();

  Controls ui_;
  std::unique_ptr<TMediaPlayer> player_;
  QString libraryFolder_;
  std::int64_t start_ = 0, end_ = 0, duration_ = 0;  // microseconds
  std::unique_ptr<TrimChoice> choice_;
};
