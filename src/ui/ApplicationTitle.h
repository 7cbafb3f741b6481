#pragma once

#include <QString>

// The application title: the caption of the program's messages.
QString applicationTitle();
void setApplicationTitle(const QString& title);
