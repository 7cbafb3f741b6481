#include "app/Download.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace {

QNetworkRequest UpdateRequest(const QString& address) {
  QNetworkRequest request{QUrl(address)};
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/3.0 (compatible; Oxbel Updater)"));
  request.setTransferTimeout(TDownloader::kReadTimeoutMs);  // cookies: the manager's own jar takes them
  return request;
}

bool Save(const QByteArray& received, const QString& file) {
  QSaveFile output(file);
  return output.open(QIODevice::WriteOnly) && output.write(received) == received.size() && output.commit();
}

}  // namespace

TDownloader::TDownloader(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {}

TDownloader::~TDownloader() = default;

void TDownloader::DownloadToFile(const QString& address, const QString& file, std::function<void(bool)> done) {
  QNetworkReply* reply = network_->get(UpdateRequest(address));
  connect(reply, &QNetworkReply::finished, this, [reply, file, done = std::move(done)] {
    reply->deleteLater();
    done(reply->error() == QNetworkReply::NoError && Save(reply->readAll(), file));
  });
}
