#include "app/HelpMenu.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

#include "app/AboutWindow.h"
#include "app/GlobalObject.h"
#include "ui/ProductLinks.h"

THelpMenu::THelpMenu(const HelpActions& actions, TGlobalObject& globalObject, QWidget* window)
    : QObject(window), globalObject_(globalObject), window_(window) {
  auto openUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
  connect(actions.actHelp, &QAction::triggered, this, [this, openUrl] { openUrl(globalObject_.HelpUrl()); });
  connect(actions.actWebSite, &QAction::triggered, this, [this, openUrl] { openUrl(globalObject_.WebSiteUrl()); });
  for (QAction* action : {actions.actSupport, actions.actRelatedHome})
    connect(action, &QAction::triggered, this, [openUrl] { openUrl(QString::fromLatin1(product_links::kHomePage)); });
  connect(actions.actAbout, &QAction::triggered, this, &THelpMenu::ShowAbout);
}

void THelpMenu::ShowAbout() {
  if (!about_) about_ = new TfrmAbout(globalObject_, window_);
  about_->exec();
}
