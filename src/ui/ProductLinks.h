#pragma once

#include <QString>
#include <QUrl>

// The product's web addresses and the user manual shipped beside the program.
namespace product_links {

// The project's home page: web site, support and contact, related software.
extern const char* const kHomePage;
// The user manual installed in the program folder.
QString manualPath();
QUrl manualUrl();

}  // namespace product_links
