#pragma once

#include <QString>

#include "frontend/FileJob.h"
#include "frontend/TargetSize.h"

class IniFile;
class QWidget;
struct TlvFilesRecord;

// What file and DVD jobs share on their way to an engine task.

// The fields of the job record the task builders read.
TFileJob TaskJobOf(const TlvFilesRecord& record);

// "<folder>/<caption's base name>_(new).<the format's extension>" (numbered
// when taken), reserved for the job. Throws DestinationError.
QString ReserveDestinationOf(const QString& folder, const QString& caption, const IniFile& catalogue, int code);

// The builders' question about an unusable frame size, asked over parent.
AskQuestion AskOver(QWidget* parent);
