#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>

#include "dvddec/dvddec.h"
#include "frontend/FileJob.h"

// The job behind one row of the job list: its source and destination, the part
// to convert, the picture's fitting and crop, the DVD title with its stream and
// chapter choice, the watermark and the colour effects. Created with the row and
// freed with it. Changed only on the UI thread, outside a conversion of the job.
struct TlvFilesRecord {
  TlvFilesRecord();

  int JobIndex = 0;           // file jobs: position in the add selection; DVD jobs: title number
  QString SourcePath;         // file jobs: the source file (also the row caption)
  QString DestinationPath;    // file jobs: the destination shown when the file was added
  int DurationSeconds = 0;
  std::int64_t TrimStart = 0;   // microseconds; 0 from the beginning
  std::int64_t TrimLength = 0;  // microseconds; 0 to the end
  QString ZoomMode;             // "full", "lbox", "pan" or "center"
  int CropTop = 0, CropLeft = 0, CropBottom = 0, CropRight = 0;
  int CropFrame[4] = {0, 0, 0, 0};  // the crop editor's own rectangle
  DvdTitleInfo DvdTitle{};          // all zero for file jobs
  int AudioTrackItem = 0, SubtitleItem = 0;
  int AudioStreamId = 0, SubtitleStreamId = 0;
  int ChapterFrom = 1, ChapterTo = 0;
  QString WaterMarkText;
  QFont WaterMarkFont;        // the platform's sans-serif at size 8
  QColor WaterMarkFontColor{Qt::black};
  int TextLeft = 0, TextTop = 0, TextHorizPercent = 0, TextVertPercent = 0;
  QString WaterMarkImage;
  int ImageLeft = 0, ImageTop = 0, ImageHorizPercent = 0, ImageVertPercent = 0;
  int ImageAlpha = 168;
  int ImageBlendStyle = 1;
  int Brightness = 255, Contrast = 0, Saturation = 255, Exposure = 0;
  bool ProcessText = false, ProcessImage = false;

  // Whether every decoded picture of the job must pass the effects hook: any
  // colour effect away from its neutral value, or a watermark text or picture.
  bool NeedsHook() const;
  // DVD jobs have a title instead of a source file.
  bool IsDvdJob() const { return SourcePath.isEmpty(); }
};

// The fields of the job record the task builders read.
TFileJob TaskJobOf(const TlvFilesRecord& record);
