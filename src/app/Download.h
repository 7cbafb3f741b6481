#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QNetworkAccessManager;

// Fetches an address by HTTP GET into a file without blocking: the window
// stays usable while the request runs, and `done` is called on the UI thread
// with true once the received bytes are saved, or false, with nothing
// written, on any failure: no network, an HTTP error, or 15 s without data.
// Destroying the downloader abandons a request still running. UI thread only.
class TDownloader : public QObject {
 public:
  explicit TDownloader(QObject* parent = nullptr);
  ~TDownloader() override;

  static constexpr int kReadTimeoutMs = 15000;

  void DownloadToFile(const QString& address, const QString& file, std::function<void(bool saved)> done);

 private:
  QNetworkAccessManager* network_;
};
