#include "app/MainWindowMenus.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "ui/Themes.h"

namespace {

QMenu* menu(const QString& title, const char* name, QWidget* parent) {
  auto* m = new QMenu(title, parent);
  m->setObjectName(QString::fromLatin1(name));
  return m;
}

void buildFileMenu(MainMenus& m, QMenuBar* bar) {
  m.mnuFile = menu(QStringLiteral("&File"), "mnuFile", bar);
  m.actAdd = m.mnuFile->addAction(QStringLiteral("&Add"));
  m.actRemove = m.mnuFile->addAction(QStringLiteral("&Remove"));
  m.actClear = m.mnuFile->addAction(QStringLiteral("&Clear"));
  m.actStart = m.mnuFile->addAction(QStringLiteral("&Start"));
  m.actSettings = m.mnuFile->addAction(QStringLiteral("Se&ttings"));
  m.actSettings->setVisible(false);
  m.mnuFile->addSeparator();
  m.actExit = m.mnuFile->addAction(QStringLiteral("&Exit"));
  bar->addMenu(m.mnuFile);
}

void buildEditMenu(MainMenus& m, QMenuBar* bar) {
  m.mnuEdit = menu(QStringLiteral("&Edit"), "mnuEdit", bar);
  m.actCrop = m.mnuEdit->addAction(QStringLiteral("&Crop"));
  m.actTrim = m.mnuEdit->addAction(QStringLiteral("&Trim"));
  m.actEffects = m.mnuEdit->addAction(QStringLiteral("&Video Effect && Water Mark"));
  m.actFileInfo = m.mnuEdit->addAction(QStringLiteral("File &Information..."));
  m.mnuEdit->addSeparator();
  m.actCheckAll = m.mnuEdit->addAction(QStringLiteral("&Check All"));
  m.actUncheckAll = m.mnuEdit->addAction(QStringLiteral("&Uncheck All"));
  m.actReverseCheck = m.mnuEdit->addAction(QStringLiteral("&Reverse Check"));
  m.actCheck = m.mnuEdit->addAction(QStringLiteral("C&heck"));
  m.actUncheck = m.mnuEdit->addAction(QStringLiteral("U&ncheck"));
  bar->addMenu(m.mnuEdit);
}

void buildToolsMenu(MainMenus& m, QMenuBar* bar) {
  m.mnuTools = menu(QStringLiteral("&Tools"), "mnuTools", bar);
  m.actPreference = m.mnuTools->addAction(QStringLiteral("&Preference"));
  m.actOutputSettings = m.mnuTools->addAction(QStringLiteral("Output Settings..."));
  m.mnuSkin = menu(QStringLiteral("&Skin"), "mnuSkin", m.mnuTools);
  for (int i = 0; i < themes::kCount; ++i) {
    m.actSkins[size_t(i)] = m.mnuSkin->addAction(themes::at(i).name);
    m.actSkins[size_t(i)]->setCheckable(true);
  }
  m.mnuTools->addMenu(m.mnuSkin);
  m.mnuTools->addSeparator();
  m.actShowLog = m.mnuTools->addAction(QStringLiteral("Show &Log"));
  m.actShowLog->setCheckable(true);
  bar->addMenu(m.mnuTools);
}

void buildHelpMenus(MainMenus& m, QMenuBar* bar) {
  m.mnuHelp = menu(QStringLiteral("&Help"), "mnuHelp", bar);
  m.actHelp = m.mnuHelp->addAction(QStringLiteral("&Help"));
  m.actWebSite = m.mnuHelp->addAction(QStringLiteral("&Web Site"));
  m.actSupport = m.mnuHelp->addAction(QStringLiteral("&Support and Contact"));
  m.mnuHelp->addSeparator();
  m.actAbout = m.mnuHelp->addAction(QStringLiteral("&About"));
  bar->addMenu(m.mnuHelp);

  m.mnuRelated = menu(QStringLiteral("Related Software"), "mnuRelated", bar);
  m.actRelatedHome = m.mnuRelated->addAction(QStringLiteral("Oxbel Software Home Page"));
  bar->addMenu(m.mnuRelated);
}

void buildPopups(MainMenus& m, QMainWindow* window) {
  m.pmAddDVD = menu(QStringLiteral("Add"), "pmAddDVD", window);
  m.mnuAddDvdDriver = menu(QStringLiteral("Add DVD Driver"), "mnuAddDvdDriver", m.pmAddDVD);
  m.pmAddDVD->addMenu(m.mnuAddDvdDriver);
  m.actAddDvdFolder = m.pmAddDVD->addAction(QStringLiteral("Add DVD Folder or ISO..."));

  m.pmFiles = menu(QString(), "pmFiles", window);
  m.popAdd = m.pmFiles->addMenu(m.pmAddDVD);
  m.popRemove = m.pmFiles->addAction(QStringLiteral("Remove"));
  m.popClear = m.pmFiles->addAction(QStringLiteral("Clear"));
  m.popStart = m.pmFiles->addAction(QStringLiteral("Start"));
  m.pmFiles->addSeparator();
  m.popCrop = m.pmFiles->addAction(QStringLiteral("&Crop"));
  m.popTrim = m.pmFiles->addAction(QStringLiteral("&Trim"));
  m.popEffects = m.pmFiles->addAction(QStringLiteral("&Video Effect && Water Mark"));
  m.popVideoInfo = m.pmFiles->addAction(QStringLiteral("Video Infomation"));
  m.popVideoInfo->setVisible(false);
}

}  // namespace

void BuildMainMenus(QMainWindow* window, MainMenus& m) {
  QMenuBar* bar = window->menuBar();
  buildFileMenu(m, bar);
  buildEditMenu(m, bar);
  buildToolsMenu(m, bar);
  buildHelpMenus(m, bar);
  buildPopups(m, window);
}
