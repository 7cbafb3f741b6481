#include "jobs/JobRecord.h"

#include <QFontDatabase>

TlvFilesRecord::TlvFilesRecord() {
  WaterMarkFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  WaterMarkFont.setStyleHint(QFont::SansSerif);
  WaterMarkFont.setPointSize(8);
}

bool TlvFilesRecord::NeedsHook() const {
  return Brightness != 255 || Contrast != 0 || Saturation != 255 || Exposure != 0 || !WaterMarkText.isEmpty() ||
         !WaterMarkImage.isEmpty();
}

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
