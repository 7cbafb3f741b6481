#include "support/UrlRecorder.h"

#include <QDesktopServices>

UrlRecorder::UrlRecorder(const QString& scheme) : scheme_(scheme) {
  QDesktopServices::setUrlHandler(scheme_, this, "open");
}

UrlRecorder::~UrlRecorder() { QDesktopServices::unsetUrlHandler(scheme_); }
