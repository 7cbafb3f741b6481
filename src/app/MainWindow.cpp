#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QCheckBox>
#include <QToolButton>
#include <QTreeWidget>

#include "app/Application.h"
#include "app/FileVersion.h"
#include "app/HelpMenu.h"
#include "app/UpdateNotice.h"
#include "batch/BatchController.h"
#include "disc/DvdController.h"
#include "editing/EditorsController.h"
#include "engine/face/MediaEngine.h"
#include "frontend/PlatformPaths.h"
#include "frontend/SettingsKeys.h"
#include "jobs/JobList.h"
#include "jobs/JobsController.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "player/MediaPlayer.h"
#include "preview/PreviewPane.h"
#include "preview/PreviewerWindow.h"
#include "settings/FormatCatalogue.h"
#include "settings/FormatController.h"
#include "ui/AppPaths.h"
#include "ui/ProductLinks.h"
#include "ui/Prompts.h"
#include "ui/SkinMenu.h"
#include "ui/Themes.h"

namespace keys = settings_keys;

namespace {

std::string str(const QString& s) { return s.toStdString(); }
QString qstr(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMainLayout(this, ui_);
  BuildMainMenus(this, menus_);
  FormCreate();
  ConnectMenus();
  ConnectControllers();
  ConnectFolders();
  DisableUnconnectedActions();
}

TfrmMain::~TfrmMain() {
  TMediaLogger::instance().SetOnLog(nullptr);
  TMediaLogger::instance().SetDispatcher(nullptr);
}

IniFile TfrmMain::Settings() const { return IniFile(str(globalObject_->IniPath())); }

IniFile TfrmMain::FormatCatalogue() const { return IniFile(str(globalObject_->FormatIniPath())); }

TJobList& TfrmMain::Jobs() { return jobs_->Jobs(); }

TMediaPlayer& TfrmMain::Player() { return preview_->Player(); }

void TfrmMain::AddFiles(const QStringList& paths) { jobs_->AddFiles(paths); }

QString TfrmMain::LatestVersion() const {
  return updateNotice_ && updateNotice_->Finished() ? updateNotice_->LatestVersion() : QString();
}

WindowContext TfrmMain::Context() {
  return {this, [this] { return Settings(); }, [this] { return FormatCatalogue(); }};
}

void TfrmMain::FormCreate() {
  globalObject_ = std::make_unique<TGlobalObject>();
  engine_ = std::make_unique<TMediaEngine>();
  engine_->SetDispatcher(&dispatcher_);
  engine_->SetPreviewWindowFactory(QtPreviewWindowFactory());
  globalObject_->SetIniPath(QString::fromStdString(platform_paths::SettingsFilePath()));
  globalObject_->SetFormatIniPath(QString::fromStdString(platform_paths::CatalogueFilePath()));
  globalObject_->SetProductTitle(QStringLiteral("Oxbel DVD to 3GP Converter"));
  globalObject_->SetVersion(QStringLiteral(" ver 1.70 "));
  globalObject_->SetWebSiteUrl(QString::fromLatin1(product_links::kHomePage));
  globalObject_->SetHelpUrl(product_links::manualUrl().toString());

  setApplicationTitle(globalObject_->ProductTitle());
  themes::apply(Settings().readInteger(keys::kSettings, keys::kSkinIndex, keys::kSkinIndexAtStartup));

  if (auto* application = dynamic_cast<OxbelApplication*>(QApplication::instance()))
    application->setExceptionHandler([this](std::exception_ptr error) { ShowApplicationException(error, this); });
  LoadMediaLibraries();
}

// The log goes to the hidden memo; a failed load is only logged there.
void TfrmMain::LoadMediaLibraries() {
  auto& logger = TMediaLogger::instance();
  logger.SetDispatcher(&dispatcher_);
  logger.SetOnLog([this](const void*, std::uint32_t, TLogLevel, const std::string& message) {
    ui_.mmoLog->appendPlainText(QString::fromStdString(message));
  });
  auto& loader = TMediaLoader::instance();
  if (loader.isSetLoaded(kPlayerLibraries)) return;
  loader.setLibraryDirectory((app_paths::programFolder() + "LibAV").toStdString());
  if (!loader.loadSet(kPlayerLibraries)) ui_.mmoLog->appendPlainText(QString::fromStdString(loader.lastError()));
}

// The controllers get the controls they work with; what one asks of another
// goes through the signals connected here.
void TfrmMain::ConnectControllers() {
  const MainControls& c = ui_;
  const MainMenus& m = menus_;
  jobs_ = new TJobsController(c.lvFiles,
                              {c.btnAdd, c.btnRemove, c.btnClear, c.btnStart, m.actAdd, m.actRemove, m.actClear,
                               m.actStart, m.popRemove, m.popClear, m.actCheckAll, m.actUncheckAll,
                               m.actReverseCheck, m.actCheck, m.actUncheck},
                              *engine_, Context(), this);
  dvd_ = new TDvdController({c.BtnAddDVD, m.pmAddDVD, m.mnuAddDvdDriver, m.actAddDvdFolder, c.grpDvd,
                             c.cmbAudioLanguage, c.cmbSubtitle, c.edtFrom, c.edtTo, c.btnFromUp, c.btnFromDown,
                             c.btnToUp, c.btnToDown, c.btnDVDStart, c.btnStartBelow, c.lvFiles},
                            *jobs_, Context(), this);
  preview_ = new TPreviewPane({c.pan1, c.trcPreview, c.lblTime, c.lblPTS, c.imgbtnPlay, c.imgbtnPAuse, c.imgbtnStop,
                               c.imgbtnSnap, c.ckMute, c.trcVolume, c.lvFiles, c.mmoLog},
                              jobs_->Jobs(), &dispatcher_,
                              [this](const TlvFilesRecord& record, int toChapter) {
                                return dvd_->SourceOf(record, 0, toChapter);
                              },
                              Context(), this);
  batch_ = new TBatchController({c.btnStart, c.btnPause, c.btnResume, c.btnStop, c.btnAdd, c.btnRemove, c.btnClear,
                                 m.actStart, m.popStart},
                                *engine_, *jobs_,
                                [this](const TlvFilesRecord& record, DvdTitleInfo& title, std::string& address) {
                                  return dvd_->TaskSource(record, title, address);
                                },
                                Context(), this);
  new TEditorsController({m.actTrim, m.popTrim, m.actCrop, m.popCrop, m.actEffects, m.popEffects, m.actFileInfo,
                          m.popVideoInfo},
                         jobs_->Jobs(), &dispatcher_, preview_->Arbiter(),
                         [this](const TlvFilesRecord& record) { return dvd_->SourceOf(record, 0, 99); }, Context(),
                         this);
  formats_ = new TFormatController({c, c.edt1, c.imgbtn1, c.lst1, c.btnDefault, c.edDirectory, m.actSettings,
                                    m.actOutputSettings},
                                   Context(), this);
  ConnectConversionStarts();
}

// Play on an empty list asks for a DVD and plays its first title; the DVD
// starts check the frame size and stop the preview before converting.
void TfrmMain::ConnectConversionStarts() {
  connect(preview_, &TPreviewPane::sourceWanted, dvd_, &TDvdController::AddThenPlay);
  connect(dvd_, &TDvdController::playRequested, preview_, &TPreviewPane::imgbtnPlayClick);
  connect(dvd_, &TDvdController::startRequested, this, [this] {
    formats_->cmbVideoSizeExit();
    preview_->imgbtnStopClick();
    batch_->btnStartClick();
  });
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  FormShow();
}

void TfrmMain::FormShow() {
  resize(786, 522);
  for (QWidget* w : std::initializer_list<QWidget*>{ui_.imgbtnPAuse, ui_.imgbtnStop, ui_.imgbtnSnap, ui_.trcPreview})
    w->setEnabled(false);
  batch_->SetConversionPreview(std::make_unique<QImage>());

  LoadShownSettings();
  ui_.edt1->setTextMargins(4, 2, 0, 0);
  formats_->BuildFormatPicker();
  jobs_->Jobs().BuildColumns(TJobList::Layout::Files);
  dvd_->BuildDriveMenu();

  globalObject_->SetVersion(FileVersionText());
  setWindowTitle(globalObject_->ProductTitle() + globalObject_->Version());

  ui_.cmbAudioLanguage->setEnabled(false);
  ui_.cmbSubtitle->setEnabled(false);
  skipExitConfirmation_ = false;
  StartUpdateCheck();
}

// Runs alongside the window: the user can work while the update file is fetched.
void TfrmMain::StartUpdateCheck() {
  const IniFile settings = Settings();
  // Without an address of its own a Yes would open nothing: the product's page instead.
  const QString page = globalObject_->DownloadUrl().isEmpty() ? QString::fromLatin1(product_links::kHomePage)
                                                              : globalObject_->DownloadUrl();
  updateNotice_ = new TUpdateNotice({this, globalObject_->ProductTitle(), globalObject_->Version(), page,
                                     [this] {
                                       skipExitConfirmation_ = true;
                                       close();
                                     }},
                                    this);
  batch_->SetTipsSource([this] { return updateNotice_->Tips(); });
  const std::string address = settings.readString(keys::kSettings, keys::kUpdateUrl, kUpdateAddress);
  updateNotice_->Start(qstr(address.empty() ? std::string(kUpdateAddress) : address),
                       settings.readInteger(keys::kSettings, keys::kCheckUpdates, 1) != 0);
}

void TfrmMain::LoadShownSettings() {
  const IniFile settings = Settings();
  ui_.cbOutputFormat->clear();
  ui_.cbOutputFormat->addItems(format_catalogue::OutputFormatComboItems());
  ui_.cbOutputFormat->setMaxVisibleItems(std::min(20, ui_.cbOutputFormat->count()));
  ui_.cbOutputFormat->setCurrentIndex(settings.readInteger(keys::kSettings, keys::kOutPutFormat, 0));
  connect(ui_.cbOutputFormat, &QComboBox::currentIndexChanged, this,
          [this](int index) { Settings().writeInteger(keys::kSettings, keys::kOutPutFormat, index); });

  ui_.edDirectory->setText(
      qstr(settings.readString(keys::kSettings, keys::kOutPutDir, str(app_paths::defaultOutputFolder()))));
  connect(ui_.edDirectory, &QLineEdit::textChanged, this,
          [this](const QString& text) { Settings().writeString(keys::kSettings, keys::kOutPutDir, str(text)); });

  formats_->LoadCurrentFormat();

  ui_.trcVolume->setRange(0, 128);
  const int volume = settings.readInteger(keys::kSettings, keys::kVolume, 0);
  ui_.trcVolume->setValue(volume < 0 || volume > 128 ? 64 : volume);
  const int mute = settings.readInteger(keys::kSettings, keys::kMute, 0);
  if (mute == 1) ui_.ckMute->setChecked(true);
  if (mute == 0) ui_.ckMute->setChecked(false);
}

void TfrmMain::ConnectMenus() {
  connect(menus_.actExit, &QAction::triggered, this, &QWidget::close);
  connect(ui_.btnExit, &QPushButton::clicked, this, &QWidget::close);
  new TSkinMenu(menus_.mnuSkin, menus_.actSkins, Context(), this);
  connect(menus_.actShowLog, &QAction::toggled, ui_.mmoLog, &QWidget::setVisible);
  connect(menus_.mnuEdit, &QMenu::aboutToShow, this, &TfrmMain::EditMenuShow);
  connect(menus_.pmFiles, &QMenu::aboutToShow, this, &TfrmMain::FilesPopupShow);
  connect(ui_.BtnEdit, &QPushButton::clicked, this,
          [this] { menus_.pmFiles->popup(ui_.BtnEdit->mapToGlobal(QPoint(0, ui_.BtnEdit->height()))); });
  connect(ui_.lvFiles, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& position) { menus_.pmFiles->popup(ui_.lvFiles->viewport()->mapToGlobal(position)); });
  new THelpMenu({menus_.actHelp, menus_.actWebSite, menus_.actSupport, menus_.actAbout, menus_.actRelatedHome},
                *globalObject_, this);
}

// Removing, clearing and starting wait for the first job.
void TfrmMain::DisableUnconnectedActions() {
  for (QAction* action : {menus_.actRemove, menus_.actClear, menus_.actStart}) action->setEnabled(false);
  for (QWidget* widget : std::initializer_list<QWidget*>{ui_.btnRemove, ui_.btnClear, ui_.btnStart})
    widget->setEnabled(false);
}

bool TfrmMain::HasSelectedJob() const {
  return ui_.lvFiles->topLevelItemCount() > 0 && !ui_.lvFiles->selectedItems().isEmpty();
}

void TfrmMain::EditMenuShow() {
  const bool enable = HasSelectedJob();
  for (QAction* action : {menus_.actCrop, menus_.actTrim, menus_.actEffects, menus_.actFileInfo, menus_.actCheckAll,
                          menus_.actUncheckAll, menus_.actReverseCheck, menus_.actCheck, menus_.actUncheck})
    action->setEnabled(enable);
}

void TfrmMain::FilesPopupShow() {
  const bool enable = HasSelectedJob();
  for (QAction* action : {menus_.popCrop, menus_.popTrim, menus_.popEffects, menus_.popVideoInfo,
                          menus_.popRemove, menus_.popClear, menus_.popStart})
    action->setEnabled(enable);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!skipExitConfirmation_) {
    PromptMessage question{QStringLiteral("Warning"), QStringLiteral("Do you really want to exit?"),
                           PromptButtons::YesNo, PromptIcon::Question};
    if (prompts().ask(this, question) != PromptAnswer::Yes) {
      event->ignore();
      return;
    }
  }
  formats_->SaveFormatPickerState();
  preview_->Player().Stop(true);
  // A running batch stops, and its events no longer reach the closing window.
  batch_->Shutdown();
  event->accept();
  // The program runs until the main window closes, whatever else is still open.
  QCoreApplication::quit();
}
