#include "ui/ApplicationTitle.h"

namespace {
QString title;  // UI thread only
}

QString applicationTitle() { return title; }

void setApplicationTitle(const QString& newTitle) { title = newTitle; }
