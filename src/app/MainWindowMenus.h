#pragma once

#include <array>

class QAction;
class QMainWindow;
class QMenu;

// The menus, popup menus and their items of the main window.
struct MainMenus {
  QMenu* mnuFile = nullptr;
  QAction* actAdd = nullptr;
  QAction* actRemove = nullptr;
  QAction* actClear = nullptr;
  QAction* actStart = nullptr;
  QAction* actSettings = nullptr;  // kept hidden
  QAction* actExit = nullptr;

  QMenu* mnuEdit = nullptr;
  QAction* actCrop = nullptr;
  QAction* actTrim = nullptr;
  QAction* actEffects = nullptr;
  QAction* actFileInfo = nullptr;  // the file information window, which the job popup keeps hidden
  QAction* actCheckAll = nullptr;
  QAction* actUncheckAll = nullptr;
  QAction* actReverseCheck = nullptr;
  QAction* actCheck = nullptr;
  QAction* actUncheck = nullptr;

  QMenu* mnuTools = nullptr;
  QAction* actPreference = nullptr;
  QAction* actOutputSettings = nullptr;  // the settings dialog, as the hidden File item
  QMenu* mnuSkin = nullptr;
  std::array<QAction*, 7> actSkins{};
  QAction* actShowLog = nullptr;

  QMenu* mnuHelp = nullptr;
  QAction* actHelp = nullptr;
  QAction* actWebSite = nullptr;
  QAction* actSupport = nullptr;
  QAction* actAbout = nullptr;

  QMenu* mnuRelated = nullptr;
  QAction* actRelatedHome = nullptr;

  // Job list popup, shown by a right-button press on the list and by "&Edit".
  QMenu* pmFiles = nullptr;
  QAction* popAdd = nullptr;  // opens pmAddDVD as its submenu
  QAction* popRemove = nullptr;
  QAction* popClear = nullptr;
  QAction* popStart = nullptr;
  QAction* popCrop = nullptr;
  QAction* popTrim = nullptr;
  QAction* popEffects = nullptr;
  QAction* popVideoInfo = nullptr;  // kept hidden

  // DVD source menu of "&Add DVD".
  QMenu* pmAddDVD = nullptr;
  QMenu* mnuAddDvdDriver = nullptr;  // one item per optical drive
  QAction* actAddDvdFolder = nullptr;
};

// Creates the menu bar and the popup menus with all their items.
void BuildMainMenus(QMainWindow* window, MainMenus& menus);
