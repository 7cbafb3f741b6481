#include "app/UpdateNotice.h"

#include <QDesktopServices>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QUrl>

#include <stdexcept>

#include "app/XmlValue.h"
#include "frontend/PlatformPaths.h"
#include "ui/Prompts.h"

const char* const kUpdateAddress = "http://update.oxbel.invalid/oxbel/oxbelnet.xml";

namespace {

QString cacheFile(const char* name) {
  const QString folder = QString::fromStdString(platform_paths::CacheFolder());
  QDir().mkpath(folder);
  return folder + QString::fromLatin1(name);
}

// A version text as a number; anything else is the conversion error the
// application's exception handler reports.
double versionNumber(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok) throw std::invalid_argument("'" + text.toStdString() + "' is not a valid floating point value");
  return value;
}

// The "info" texts of the package's "row" elements, at most `count` of them.
QStringList rowsOf(const QString& file, int count) {
  QFile input(file);
  QDomDocument document;
  QStringList rows;
  if (!input.open(QIODevice::ReadOnly) || !document.setContent(&input)) return rows;
  if (document.documentElement().tagName() != "XMLPackage") return rows;
  for (QDomElement row = document.documentElement().firstChildElement("row"); !row.isNull() && rows.size() < count;
       row = row.nextSiblingElement("row"))
    if (!row.attribute("info").trimmed().isEmpty()) rows << row.attribute("info").trimmed();
  return rows;
}

}  // namespace

QString FreshUpdateFile() { return cacheFile("oxbelnet.xml"); }
QString CachedUpdateFile() { return cacheFile("oxbel.xml"); }

TUpdateNotice::TUpdateNotice(UpdateNoticeHost host, QObject* parent)
    : QObject(parent), host_(std::move(host)), downloader_(this) {}

void TUpdateNotice::Start(const QString& address, bool enabled) {
  address_ = address;
  if (!enabled) {
    Fetched(false);
    return;
  }
  downloader_.DownloadToFile(address_, FreshUpdateFile(), [this](bool saved) { Fetched(saved); });
}

void TUpdateNotice::Fetched(bool saved) {
  if (saved && QFile::exists(FreshUpdateFile())) {
    latestVersion_ = ReadXmlValue(FreshUpdateFile(), "XMLPackage.videoversion", "number");
    AskWhenNewer();
    // The second copy keeps the entries for later runs.
    downloader_.DownloadToFile(address_, CachedUpdateFile(), [this](bool) {
      ReadPackage(QFile::exists(CachedUpdateFile()) ? CachedUpdateFile() : FreshUpdateFile());
      Finish();
    });
    return;
  }
  if (QFile::exists(CachedUpdateFile())) {
    latestVersion_ = ReadXmlValue(CachedUpdateFile(), "XMLPackage.videoversion", "number");
    ReadPackage(CachedUpdateFile());
  }
  Finish();
}

void TUpdateNotice::AskWhenNewer() {
  const double local = versionNumber(host_.localVersion);
  const double remote = versionNumber(latestVersion_);
  if (remote <= local) return;
  const QString question =
      "Do you want to upgrade to " + host_.productTitle + " " + latestVersion_ + " now?";
  if (prompts().ask(host_.window, {QStringLiteral("Warning - New Version Available for Download."), question,
                                   PromptButtons::YesNo, PromptIcon::Question}) != PromptAnswer::Yes)
    return;
  QDesktopServices::openUrl(QUrl(host_.downloadUrl));
  if (host_.closeForUpgrade) host_.closeForUpgrade();
}

void TUpdateNotice::ReadPackage(const QString& file) {
  const int count = ReadXmlValue(file, "XMLPackage.count", "number").toInt();
  tips_ = rowsOf(file, count);
}

void TUpdateNotice::Finish() {
  finished_ = true;
  if (OnFinished) OnFinished();
}
