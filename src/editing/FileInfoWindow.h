#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class TMediaEngine;

// "File infomation": the container and stream properties of a job's source,
// read by the window's own engine component. Modal, UI thread only; made on
// first use and kept.
class TfrmFileInfo : public QDialog {
  Q_OBJECT

 public:
  struct Controls {
    QLabel* lblSourceName = nullptr;
    QLabel* lblFileLength = nullptr;
    QLineEdit* edtFormat = nullptr;
    QLineEdit* edtResloution = nullptr;
    QLineEdit* edtBitRate = nullptr;
    QLineEdit* edtFrameRate = nullptr;
    QLineEdit* edtTotalFrame = nullptr;
    QLineEdit* edtAudioForamt = nullptr;
    QLineEdit* edtSampleRate = nullptr;
    QLineEdit* edtChannel = nullptr;
    QLineEdit* edtAudioBitRate = nullptr;
    QPushButton* btnOk = nullptr;
  };

  explicit TfrmFileInfo(const QString& libraryFolder, QWidget* parent);
  ~TfrmFileInfo() override;

  // Fills the fields from source (shown by name) and shows the window; an
  // empty source (no job) leaves the stream fields as they were.
  void ShowInfo(const std::string& source, const QString& name);

  const Controls& controls() const { return ui_; }

 protected:
  void done(int result) override;

 private:
  void BuildLayout();
  bool Fill(const std::string& source, const QString& name);
  void FillVideo(int task);
  void FillAudio(int task);

  Controls ui_;
  std::unique_ptr<TMediaEngine> CCAVC;  // only opens the file and reads its streams
  QString libraryFolder_;
};
