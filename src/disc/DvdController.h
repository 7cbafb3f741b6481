#pragma once

#include <QObject>
#include <QString>

#include <string>

#include "dvddec/dvddec.h"
#include "ui/WindowContext.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QToolButton;
class QTreeWidget;
class TJobsController;
struct TlvFilesRecord;

// The controls of DVD sources: the "Add DVD" button and its menu, the stream
// combos and chapter boxes of the selected title, and the two DVD starts.
struct DvdControls {
  QPushButton* BtnAddDVD;
  QMenu *pmAddDVD, *mnuAddDvdDriver;
  QAction* actAddDvdFolder;
  QGroupBox* grpDvd;
  QComboBox *cmbAudioLanguage, *cmbSubtitle;
  QLineEdit *edtFrom, *edtTo;
  QToolButton *btnFromUp, *btnFromDown, *btnToUp, *btnToDown;
  QPushButton *btnDVDStart, *btnStartBelow;
  QTreeWidget* lvFiles;  // its selection shows the title's choices
};

// DVD sources: the drives of the "Add DVD" menu, DVD folders and images, a
// disc's titles as jobs, the selected title's audio, subtitle and chapter
// choice, and the full "opendvd:" address of a title job, the same form for
// the player and the engine. Owns the path of the DVD opened last. UI thread
// only.
class TDvdController : public QObject {
  Q_OBJECT

 public:
  TDvdController(const DvdControls& controls, TJobsController& jobs, WindowContext context, QObject* parent);

  // The DVD opened last (drive node, folder or image); its titles are read from it.
  const QString& DvdDrivePath() const { return dvdDrivePath_; }
  // What a player or the engine opens for the job: a file job's source file; a
  // DVD job's title from its first chapter up to toChapter with the job's
  // streams, deinterlaced by the disc plug-in when dvdField is not 0.
  std::string SourceOf(const TlvFilesRecord& record, int fromChapter, int toChapter, int dvdField = 0) const;
  // The title record of a DVD job and its engine address as the job's
  // chapters, streams and trim ask; false (with the message shown) when the
  // disc no longer has the title.
  bool TaskSource(const TlvFilesRecord& record, DvdTitleInfo& title, std::string& address) const;

  // One item per optical drive, "/dev/sr0:LABEL"; built once.
  void BuildDriveMenu();
  void BtnAddDVDClick();
  // Opens the "Add DVD" menu and plays the first title once a disc was opened.
  void AddThenPlay();
  void AddDvdFolderClick();
  void OpenDvd(const QString& path, bool drive);
  void btnDVDStartClick();
  // The selected job's streams and chapters; cleared for an empty list.
  void lvFilesClick(int row);
  void ClearStreams();

 signals:
  // A DVD start passed its checks: the checked jobs are to be converted.
  void startRequested();
  // Titles were added after AddThenPlay: the first is to be played.
  void playRequested();

 private:
  void Connect();
  bool CheckDvdSource(const QString& path, bool drive);
  void AddDvdTitles(int count);
  void ShowDvdStreams(const DvdTitleInfo& title, int audioItem, int subtitleItem);
  void cmbAudioLanguageChange(int item);
  void cmbSubtitleChange(int item);
  void ChapterSpin(bool from, bool up);
  TlvFilesRecord* SelectedRecord() const;

  DvdControls ui_;
  TJobsController& jobs_;
  WindowContext context_;
  QString dvdDrivePath_;
  bool fillingStreams_ = false;  // set while the stream combos are refilled by the program
  bool playAfterAdd_ = false;    // Play on an empty list: play once "Add DVD" added titles
};
