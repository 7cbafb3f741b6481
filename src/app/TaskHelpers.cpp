#include "app/TaskHelpers.h"

#include "frontend/DestinationPath.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "jobs/JobRecord.h"
#include "ui/Prompts.h"

TFileJob TaskJobOf(const TlvFilesRecord& record) {
  TFileJob job;
  job.ZoomMode = record.ZoomMode.toStdString();
  job.CropTop = record.CropTop;
  job.CropLeft = record.CropLeft;
  job.CropBottom = record.CropBottom;
  job.CropRight = record.CropRight;
  job.TrimStart = record.TrimStart;
  job.TrimLength = record.TrimLength;
  job.NeedsHook = record.NeedsHook();
  return job;
}

QString ReserveDestinationOf(const QString& folder, const QString& caption, const IniFile& catalogue, int code) {
  const std::string extension = "." + format_catalogue::FormatFileExt(catalogue, code);
  return QString::fromStdString(ReserveDestinationPath(folder.toStdString(), caption.toStdString(), extension));
}

AskQuestion AskOver(QWidget* parent) {
  return [parent](const std::string& caption, const std::string& text) {
    return prompts().ask(parent, {QString::fromStdString(caption), QString::fromStdString(text), PromptButtons::YesNo,
                                  PromptIcon::Question}) == PromptAnswer::Yes;
  };
}
