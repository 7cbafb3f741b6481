#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QCheckBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "app/AboutWindow.h"
#include "app/Application.h"
#include "app/FileVersion.h"
#include "app/UpdateNotice.h"
#include "editing/CropWindow.h"
#include "editing/FileInfoWindow.h"
#include "editing/WaterMarkWindow.h"
#include "engine/face/MediaEngine.h"
#include "frontend/PlatformPaths.h"
#include "frontend/SettingsKeys.h"
#include "jobs/JobList.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "player/MediaPlayer.h"
#include "preview/PreviewerWindow.h"
#include "ui/AppPaths.h"
#include "ui/ProductLinks.h"
#include "ui/Prompts.h"
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
  ConnectJobList();
  ConnectConversion();
  ConnectDvd();
  ConnectPreview();
  ConnectEditors();
  ConnectPanel();
  ConnectFolders();
  DisableUnconnectedActions();
}

TfrmMain::~TfrmMain() {
  TMediaLogger::instance().SetOnLog(nullptr);
  TMediaLogger::instance().SetDispatcher(nullptr);
}

IniFile TfrmMain::Settings() const { return IniFile(str(globalObject_->IniPath())); }

IniFile TfrmMain::FormatCatalogue() const { return IniFile(str(globalObject_->FormatIniPath())); }

void TfrmMain::FormCreate() {
  globalObject_ = std::make_unique<TGlobalObject>();
  CCAVC = std::make_unique<TMediaEngine>();
  CCAVC->SetDispatcher(&dispatcher_);
  CCAVC->SetPreviewWindowFactory(QtPreviewWindowFactory());
  jobs_ = std::make_unique<TJobList>(ui_.lvFiles);
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
  ConversionPreview = std::make_unique<QImage>();

  LoadShownSettings();
  ui_.edt1->setTextMargins(4, 2, 0, 0);
  BuildFormatPicker();
  BuildFileColumns();
  BuildDriveMenu();

  globalObject_->SetVersion(FileVersionText());
  setWindowTitle(globalObject_->ProductTitle() + globalObject_->Version());

  ui_.cmbAudioLanguage->setEnabled(false);
  ui_.cmbSubtitle->setEnabled(false);
  SkipExitConfirmation = false;
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
                                       SkipExitConfirmation = true;
                                       close();
                                     }},
                                    this);
  updateNotice_->OnFinished = [this] { LatestVersion = updateNotice_->LatestVersion(); };
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

  CurrentFormatCode = qstr(settings.readString(keys::kSettings, keys::kFormatCode, keys::kFormatCodeDefault));
  CurrentFormatName = qstr(settings.readString(keys::kSettings, keys::kFormatName, keys::kFormatNameDefault));

  ui_.trcVolume->setRange(0, 128);
  const int volume = settings.readInteger(keys::kSettings, keys::kVolume, 0);
  ui_.trcVolume->setValue(volume < 0 || volume > 128 ? 64 : volume);
  const int mute = settings.readInteger(keys::kSettings, keys::kMute, 0);
  if (mute == 1) ui_.ckMute->setChecked(true);
  if (mute == 0) ui_.ckMute->setChecked(false);
}

void TfrmMain::BuildFileColumns() { jobs_->BuildColumns(TJobList::Layout::Files); }

void TfrmMain::ConnectMenus() {
  connect(menus_.actExit, &QAction::triggered, this, &QWidget::close);
  connect(ui_.btnExit, &QPushButton::clicked, this, &QWidget::close);
  connect(menus_.mnuSkin, &QMenu::aboutToShow, this, &TfrmMain::SkinMenuShow);
  for (int i = 0; i < themes::kCount; ++i)
    connect(menus_.actSkins[size_t(i)], &QAction::triggered, this, [this, i] { SkinItemClick(i); });
  connect(menus_.actShowLog, &QAction::toggled, ui_.mmoLog, &QWidget::setVisible);
  connect(menus_.mnuEdit, &QMenu::aboutToShow, this, &TfrmMain::EditMenuShow);
  connect(menus_.pmFiles, &QMenu::aboutToShow, this, &TfrmMain::FilesPopupShow);
  connect(ui_.BtnEdit, &QPushButton::clicked, this, &TfrmMain::BtnEditClick);
  connect(ui_.lvFiles, &QWidget::customContextMenuRequested, this, &TfrmMain::lvFilesContextMenu);

  auto openUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
  connect(menus_.actHelp, &QAction::triggered, this, [this, openUrl] { openUrl(globalObject_->HelpUrl()); });
  connect(menus_.actWebSite, &QAction::triggered, this, [this, openUrl] { openUrl(globalObject_->WebSiteUrl()); });
  for (QAction* action : {menus_.actSupport, menus_.actRelatedHome})
    connect(action, &QAction::triggered, this, [openUrl] { openUrl(QString::fromLatin1(product_links::kHomePage)); });
  connect(menus_.actAbout, &QAction::triggered, this, &TfrmMain::ShowAbout);
}

// Actions whose work is not built yet stay visible but cannot be used.
void TfrmMain::DisableUnconnectedActions() {
  // Removing, clearing and starting wait for the first job.
  for (QAction* action : {menus_.actRemove, menus_.actClear, menus_.actStart}) action->setEnabled(false);
  for (QWidget* widget : std::initializer_list<QWidget*>{ui_.btnRemove, ui_.btnClear, ui_.btnStart})
    widget->setEnabled(false);
}

void TfrmMain::SkinMenuShow() {
  checkedSkin_ = Settings().readInteger(keys::kSettings, keys::kSkinIndex, keys::kSkinIndexInMenu);
  for (int i = 0; i < themes::kCount; ++i) menus_.actSkins[size_t(i)]->setChecked(i == checkedSkin_);
}

void TfrmMain::SkinItemClick(int index) {
  if (index == checkedSkin_) {
    menus_.actSkins[size_t(index)]->setChecked(true);  // the click unchecked it
    return;
  }
  hide();
  themes::apply(index);
  checkedSkin_ = index;
  for (int i = 0; i < themes::kCount; ++i) menus_.actSkins[size_t(i)]->setChecked(i == index);
  show();
  Settings().writeInteger(keys::kSettings, keys::kSkinIndex, index);
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

void TfrmMain::BtnEditClick() {
  menus_.pmFiles->popup(ui_.BtnEdit->mapToGlobal(QPoint(0, ui_.BtnEdit->height())));
}

void TfrmMain::lvFilesContextMenu(const QPoint& position) {
  menus_.pmFiles->popup(ui_.lvFiles->viewport()->mapToGlobal(position));
}

void TfrmMain::ShowAbout() {
  if (!about_) about_ = new TfrmAbout(*globalObject_, this);
  about_->exec();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!SkipExitConfirmation) {
    PromptMessage question{QStringLiteral("Warning"), QStringLiteral("Do you really want to exit?"),
                           PromptButtons::YesNo, PromptIcon::Question};
    if (prompts().ask(this, question) != PromptAnswer::Yes) {
      event->ignore();
      return;
    }
  }
  SaveFormatPickerState();
  // A running batch stops, and its events no longer reach the closing window.
  DetachEngineEvents();
  MediaPlayer->Stop(true);
  CCAVC->Stop(true);
  ConversionPreview.reset();
  TaskItems.clear();
  event->accept();
  // The program runs until the main window closes, whatever else is still open.
  QCoreApplication::quit();
}
