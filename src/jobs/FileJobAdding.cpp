#include "jobs/FileJobAdding.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include "engine/face/MediaEngine.h"
#include "frontend/DestinationPath.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/SettingsKeys.h"
#include "jobs/JobList.h"
#include "jobs/MediaFileFilters.h"

namespace keys = settings_keys;

namespace {

struct AddSettings {
  QString suffix;    // "_ipod." + extension of the current format
  QString zoomMode;  // the current format's fitting mode
};

AddSettings readAddSettings(const FileAddingContext& context) {
  const int code = context.settings.readInteger(keys::kSettings, keys::kFormatCode, 1);
  return {"_ipod." + QString::fromStdString(format_catalogue::FormatFileExt(context.catalogue, code)),
          QString::fromStdString(CurrentZoomMode(context.settings, code))};
}

// The name shown for the job. A folder that cannot be searched shows the first
// name; the conversion then reports why it cannot write there.
std::string ShownDestination(const FileAddingContext& context, const QString& path, const AddSettings& add) {
  const std::string folder = context.outputFolder.toStdString(), suffix = add.suffix.toStdString();
  try {
    return MakeDestinationPath(folder, path.toStdString(), suffix);
  } catch (const DestinationError&) {
    return FirstDestinationPath(folder, path.toStdString(), suffix);
  }
}

// Adds one file; false when it is skipped.
bool addFileJob(const QString& path, int selectionIndex, const AddSettings& add, const FileAddingContext& context) {
  if (QFileInfo(path).isDir() || context.jobs.ContainsCaption(path)) return false;
  const QString destination = QString::fromStdString(ShownDestination(context, path, add));
  TInputOptions input;
  input.FileName = path.toStdString();
  const int task = context.engine.AddTask(input.FileName, &input);
  if (task < 0) return false;
  TMediaProbe* probe = context.engine.TaskProbe(task, 0);
  const std::int64_t duration = probe ? probe->FileStreamInfo().Duration : 0;
  auto record = std::make_unique<TlvFilesRecord>();
  record->JobIndex = selectionIndex;
  record->SourcePath = path;
  record->DestinationPath = destination;
  record->DurationSeconds = duration > 0 ? int(duration / 1000000) : 0;
  record->ZoomMode = add.zoomMode;
  const QString seconds = QString::number(record->DurationSeconds);
  context.jobs.AddRow(TJobList::Layout::Files, path, {seconds, seconds, QFileInfo(destination).fileName(), QString()},
                      std::move(record));
  context.engine.RemoveTask(task);
  context.engine.ClearTasks();
  return true;
}

}  // namespace

int AddFileJobs(const QStringList& paths, const FileAddingContext& context) {
  context.engine.ClearTasks();
  const AddSettings add = readAddSettings(context);
  int added = 0;
  for (int i = 0; i < paths.size(); ++i) added += addFileJob(paths[i], i, add, context) ? 1 : 0;
  if (added > 0) context.jobs.Select(0);
  context.jobs.view()->viewport()->update();
  return added;
}

QStringList DroppedMediaFiles(const QStringList& paths) {
  QStringList files;
  for (const QString& path : paths) {
    if (!QFileInfo(path).isDir()) {
      files << path;
      continue;
    }
    const QDir folder(path);
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
      if (IsSupportedMediaFile(name)) files << folder.filePath(name);
  }
  return files;
}
