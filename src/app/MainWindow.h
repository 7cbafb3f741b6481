#pragma once

#include <QImage>
#include <QMainWindow>
#include <QVector>

#include <memory>
#include <string>
#include <vector>

#include "app/GlobalObject.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowMenus.h"
#include "dvddec/dvddec.h"
#include "editing/ConversionEffects.h"
#include "frontend/IniFile.h"
#include "settings/FormatCatalogue.h"
#include "ui/QtDispatcher.h"

class TfrmAbout;
class TfrmSettings;
class TfrmCrop;
class TfrmFileInfo;
class TfrmWaterMark;
class TUpdateNotice;
class TfrmTrim;
struct TlvFilesRecord;
class TFormatPicker;
class TParameterPanel;
class TfrmPreference;
class TfrmProgress;
struct TInputOptions;
struct TOutputOptions;
struct TPreviewInfo;
struct TProgressInfo;
struct TTerminateInfo;
class TJobList;
class TMediaEngine;
class TMediaPlayer;
class TVideoWidget;

// The main window: job list, preview pane, parameter panel and menus. Owns the
// global object for the whole run. UI thread only.
class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  TGlobalObject& GlobalObject() { return *globalObject_; }
  // A fresh handle on the settings file (every access opens and closes it).
  IniFile Settings() const;
  IniFile FormatCatalogue() const;

  const MainControls& controls() const { return ui_; }
  const MainMenus& menus() const { return menus_; }
  TJobList& Jobs() { return *jobs_; }
  TMediaEngine& Engine() { return *CCAVC; }
  TMediaPlayer& Player() { return *MediaPlayer; }
  // Adds the files as jobs, as File › Add does after its dialog.
  void AddFiles(const QStringList& paths);

  bool SkipExitConfirmation = false;
  QString CurrentFormatCode;
  QString CurrentFormatName;
  QString LatestVersion;
  FormatNameTable FormatNames;
  QVector<int> TaskItems;  // job-list row of each engine task of the running batch
  QString DvdDrivePath;    // the DVD opened last (drive node, folder or image); its titles are read from it
  std::unique_ptr<QImage> ConversionPreview;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void LoadMediaLibraries();
  void FormShow();
  void LoadShownSettings();
  void BuildFileColumns();
  void ConnectMenus();
  void DisableUnconnectedActions();
  void SkinMenuShow();
  void SkinItemClick(int index);
  void EditMenuShow();
  void FilesPopupShow();
  void BtnEditClick();
  void lvFilesContextMenu(const QPoint& position);
  void ShowAbout();
  bool HasSelectedJob() const;

  // Job list (MainWindowJobs.cpp).
  void ConnectJobList();
  void btnAddClick();
  void btnRemoveClick();
  void btnClearClick();
  void UpdateEmptyListState();
  void SetJobActionsEnabled(bool enabled);
  bool LoadEngineLibraries();
  void CheckSelected(bool checked);
  void lvFilesClick();
  void ShowDvdStreams(const DvdTitleInfo& title, int audioItem, int subtitleItem);
  void ChapterSpin(bool from, bool up);

  // DVD sources and their titles (MainWindowDvd.cpp).
  void ConnectDvd();
  void BuildDriveMenu();
  void BtnAddDVDClick();
  void AddDvdFolderClick();
  void OpenDvd(const QString& path, bool drive);
  bool CheckDvdSource(const QString& path, bool drive);
  void AddDvdTitles(int count);
  void cmbAudioLanguageChange(int item);
  void cmbSubtitleChange(int item);
  void btnDVDStartClick();
  int AddDvdTask(int row, IniFile& settings, const QString& folder);

  // Conversion of the checked jobs (MainWindowConversion.cpp).
  void ConnectConversion();
  void DetachEngineEvents();
  void btnStartClick();
  int AddConversionTask(int row, IniFile& settings, const QString& folder);
  int AddFileTask(int row, IniFile& settings, const QString& folder);
  int AddEngineTask(int row, TInputOptions& input, TOutputOptions& output, std::string error);
  void MarkJobFailed(int row, const QString& error);
  void SetBatchRunning(bool running);
  void MirrorPauseState(bool paused);
  void btnStopClick();
  void CCAVCProgress(const TProgressInfo& info);
  void CCAVCPreviewBitmap(const TPreviewInfo& info);
  void CCAVCTerminate(const TTerminateInfo& info);
  void AfterLastJob();
  void BatchEnded();
  void ReportFailedJobs();

  // Preview pane (MainWindowPreview.cpp).
  void ConnectPreview();
  void ApplyStoredVolume();
  void SetPreviewButtons(bool play, bool pause, bool stop, bool snap);
  void imgbtnPlayClick();
  void OpenPreview(int row);
  void imgbtnPAuseClick();
  void imgbtnStopClick();
  void ShowPreviewStopped();
  void MediaPlayerFileOpen(std::int64_t duration, int width, int height, int& screenWidth, int& screenHeight);
  void PreviewEnded();
  bool SeekBarEvent(QEvent* event);
  void imgbtnSnapClick();
  std::string PlaySource(const TlvFilesRecord& record, int toChapter);
  // Trim editor (MainWindowEditors.cpp).
  void ConnectEditors();
  void TrimClick();
  void CropClick();
  void StartUpdateCheck();
  void EffectsClick();
  void FileInfoClick();

  // Parameter panel and settings dialog (MainWindowPanel.cpp).
  void ConnectPanel();
  void BuildFormatPicker();
  void SaveFormatPickerState();
  void lst1FormatChosen(const QString& name, int code);
  void ShowSettingsDialog();
  // Output folder row and preferences (MainWindowFolders.cpp).
  void ConnectFolders();
  void btnBrowsClick();
  void ShowPreferences();

  std::unique_ptr<TGlobalObject> globalObject_;
  QtDispatcher dispatcher_;
  std::unique_ptr<TMediaEngine> CCAVC;  // the conversion engine, for the whole run
  std::unique_ptr<TJobList> jobs_;
  std::unique_ptr<TMediaPlayer> MediaPlayer;  // the preview pane's player
  TVideoWidget* previewVideo_ = nullptr;      // the player's picture, filling pan1
  MainControls ui_;
  MainMenus menus_;
  TfrmAbout* about_ = nullptr;  // created on first use, kept for the run
  TfrmProgress* progress_ = nullptr;  // created on first use, kept for the run
  TfrmSettings* settingsDialog_ = nullptr;  // created on first use, kept for the run
  TfrmTrim* trim_ = nullptr;                // created on first use, kept for the run
  std::unique_ptr<TfrmCrop> crop_;          // made afresh for each opening
  std::unique_ptr<TfrmWaterMark> waterMark_;  // made afresh for each opening
  TfrmFileInfo* fileInfo_ = nullptr;        // created on first use, kept for the run
  TUpdateNotice* updateNotice_ = nullptr;   // the check of the first show
  TFormatPicker* picker_ = nullptr;
  TParameterPanel* panel_ = nullptr;
  TfrmPreference* preference_ = nullptr;  // created on first use, kept for the run
  // The running batch: what converted and what failed.
  struct Batch {
    int converted = 0;
    QStringList failures;  // "source: reason"
  } batch_;
  ConversionEffects conversionEffects_;  // the running batch's effects, read by the engine's hook
  bool shownOnce_ = false;
  bool fillingStreams_ = false;  // set while the stream combos are refilled by the program
  // The preview pane's marks: paused by the button; stopped, ended or not started.
  bool previewPaused_ = false, previewStopped_ = true;
  bool playAfterAdd_ = false;          // Play on an empty list: preview once "Add DVD" added titles
  std::int64_t previewDuration_ = 0;  // microseconds of the source playing
  int checkedSkin_ = -1;  // the Skin item shown checked
};
