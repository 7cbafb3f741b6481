#pragma once

#include <QString>
#include <QStringList>

#include <string>

#include "frontend/FormatChoices.h"

class IniFile;
class TCustomMediaEngine;
class TJobList;

// What adding files needs from the main window.
struct FileAddingContext {
  TCustomMediaEngine& engine;
  TJobList& jobs;
  const IniFile& settings;
  const IniFile& catalogue;
  QString outputFolder;  // the output folder, its fallback already applied
};


// Adds the files as checked file jobs, in the given order: folders and files
// already listed (same caption, letter case counts) are skipped, and so is a
// file the engine cannot open, without a message. Each row shows the duration
// and the destination "<name>_(new)_ipod.<extension>" of the current format.
// Returns the number of rows added; selects the first row when any was added.
int AddFileJobs(const QStringList& paths, const FileAddingContext& context);

// The files a drop on the list adds: dropped files as they are, and the
// supported media files of dropped folders in name order.
QStringList DroppedMediaFiles(const QStringList& paths);
