#pragma once

#include <QObject>

class QAction;
class QWidget;
class TGlobalObject;
class TfrmAbout;

// The items of the Help and Related menus.
struct HelpActions {
  QAction *actHelp, *actWebSite, *actSupport, *actAbout, *actRelatedHome;
};

// Help and Related: the manual and the product's pages in the browser, and the
// About window. UI thread only.
class THelpMenu : public QObject {
  Q_OBJECT

 public:
  THelpMenu(const HelpActions& actions, TGlobalObject& globalObject, QWidget* window);

 private:
  void ShowAbout();

  TGlobalObject& globalObject_;
  QWidget* window_;
  TfrmAbout* about_ = nullptr;  // created on first use, kept for the run
};
