#pragma once

#include <QList>

#include "ui/Prompts.h"

// The file types of File › Add, in the order the open dialog lists them.
QList<FileFilter> MediaFileFilters();
// Whether a file name matches one of the supported video or audio types (the
// first two entries), ignoring letter case; used for files dropped on the list.
bool IsSupportedMediaFile(const QString& fileName);
