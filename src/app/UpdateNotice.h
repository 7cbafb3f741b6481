#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include "app/Download.h"

class QWidget;

// The update address: no public host serves it, and the reserved ".invalid"
// name fails at once, so offline and online alike the check ends quietly.
// The settings key "UpdateUrl" points it elsewhere.
extern const char* const kUpdateAddress;

// What the update notice needs from the main window.
struct UpdateNoticeHost {
  QWidget* window = nullptr;  // parent of the question
  QString productTitle;
  QString localVersion;  // the program's version text, a decimal number
  QString downloadUrl;   // the page a Yes opens
  std::function<void()> closeForUpgrade;  // ends the program without the exit question
};

// The check for a newer version at the first show: fetches the update file
// into the cache folder, asks "Do you want to upgrade to ... now?" when it
// names a newer version, and keeps a second copy whose entries feed the
// promotional list. Runs on the UI thread without blocking it.
class TUpdateNotice : public QObject {
  Q_OBJECT

 public:
  TUpdateNotice(UpdateNoticeHost host, QObject* parent);

  // enabled false: nothing is fetched; the cached copy still gives the list.
  void Start(const QString& address, bool enabled);
  QString LatestVersion() const { return latestVersion_; }
  // The entries of the update file (fresh or cached); empty without one.
  QStringList Tips() const { return tips_; }
  // Called when the check has ended, whatever its outcome.
  std::function<void()> OnFinished;
  bool Finished() const { return finished_; }

 private:
  void Fetched(bool saved);
  void AskWhenNewer();
  void ReadPackage(const QString& file);
  void Finish();

  UpdateNoticeHost host_;
  TDownloader downloader_;
  QString address_;
  QString latestVersion_;
  QStringList tips_;
  bool finished_ = false;
};

// The update files in the cache folder.
QString FreshUpdateFile();   // "oxbelnet.xml"
QString CachedUpdateFile();  // "oxbel.xml"
