#include "ui/ProductLinks.h"

#include "ui/AppPaths.h"

namespace product_links {

const char* const kHomePage = "https://www.oxbel.com/";

QString manualPath() { return app_paths::programFolder() + "oxbel-manual.html"; }

QUrl manualUrl() { return QUrl::fromLocalFile(manualPath()); }

}  // namespace product_links
