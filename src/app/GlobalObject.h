#pragma once

#include <QString>

// The program's single global object: paths of the two INI files and the product
// texts every window consults. Owned by the main window; UI thread only.
class TGlobalObject {
 public:
  const QString& HelpUrl() const { return helpUrl_; }
  const QString& IniPath() const { return iniPath_; }
  const QString& FormatIniPath() const { return formatIniPath_; }
  const QString& ProductTitle() const { return productTitle_; }
  const QString& Version() const { return version_; }
  const QString& DownloadUrl() const { return downloadUrl_; }
  const QString& WebSiteUrl() const { return webSiteUrl_; }

  // The two path setters ignore values of 3 characters or fewer, the others
  // ignore an empty value.
  void SetHelpUrl(const QString& value);
  void SetIniPath(const QString& value);
  void SetFormatIniPath(const QString& value);
  void SetProductTitle(const QString& value);
  void SetVersion(const QString& value);
  void SetDownloadUrl(const QString& value);
  void SetWebSiteUrl(const QString& value);

 private:
  QString helpUrl_;
  QString iniPath_;
  QString formatIniPath_;
  QString productTitle_;
  QString version_;
  QString downloadUrl_;
  QString webSiteUrl_;
};
