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
