#pragma once

#include <QMainWindow>

#include <memory>

#include "app/GlobalObject.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowMenus.h"
#include "frontend/IniFile.h"
#include "ui/QtDispatcher.h"
#include "ui/WindowContext.h"

class TBatchController;
class TDvdController;
class TFormatController;
class TJobList;
class TJobsController;
class TMediaEngine;
class TMediaPlayer;
class TPreviewPane;
class TUpdateNotice;
class TfrmPreference;

// The main window: lays out the job list, the preview pane, the parameter
// panel and the menus, and assembles the feature controllers that do their
// work (jobs, DVD sources, preview, conversion batch, editors, output
// format). Owns the global object and the engine for the whole run. UI
// thread only.
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
  TJobList& Jobs();
  TMediaEngine& Engine() { return *engine_; }
  TMediaPlayer& Player();
  TBatchController& Batch() { return *batch_; }
  TDvdController& Dvd() { return *dvd_; }
  TFormatController& Formats() { return *formats_; }
  // Adds the files as jobs, as File › Add does after its dialog.
  void AddFiles(const QStringList& paths);
  // Closing without the "Do you really want to exit?" question.
  void SetSkipExitConfirmation(bool skip) { skipExitConfirmation_ = skip; }
  // The newest version the update check found; empty until it finished.
  QString LatestVersion() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  WindowContext Context();
  void FormCreate();
  void LoadMediaLibraries();
  void FormShow();
  void LoadShownSettings();
  void ConnectMenus();
  void ConnectControllers();
  void ConnectConversionStarts();
  void DisableUnconnectedActions();
  void EditMenuShow();
  void FilesPopupShow();
  bool HasSelectedJob() const;
  void StartUpdateCheck();
  // Output folder row and preferences (MainWindowFolders.cpp).
  void ConnectFolders();
  void btnBrowsClick();
  void ShowPreferences();

  std::unique_ptr<TGlobalObject> globalObject_;
  QtDispatcher dispatcher_;
  std::unique_ptr<TMediaEngine> engine_;  // the conversion engine, for the whole run
  MainControls ui_;
  MainMenus menus_;
  // The feature controllers, children of the window.
  TJobsController* jobs_ = nullptr;
  TDvdController* dvd_ = nullptr;
  TPreviewPane* preview_ = nullptr;
  TBatchController* batch_ = nullptr;
  TFormatController* formats_ = nullptr;
  TfrmPreference* preference_ = nullptr;   // created on first use, kept for the run
  TUpdateNotice* updateNotice_ = nullptr;  // the check of the first show
  bool skipExitConfirmation_ = false;
  bool shownOnce_ = false;
};
