#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Receives what the program asks the desktop to open (QDesktopServices) for
// one URL scheme, instead of the desktop, for its lifetime.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  explicit UrlRecorder(const QString& scheme);
  ~UrlRecorder() override;

  QList<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.append(url); }

 private:
  QString scheme_;
};
