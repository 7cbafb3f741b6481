#pragma once

#include <QColor>
#include <QFont>
#include <QString>

struct TlvFilesRecord;

// Everything the composition of one frame needs from a job: the watermark text
// and picture with their places, and the colour effects. A plain copy, so a
// conversion thread can hold it while the job's row changes.
struct EffectSettings {
  QString Text;
  QFont Font;
  QColor FontColor;
  int TextLeft = 0, TextTop = 0;
  QString ImagePath;
  int ImageLeft = 0, ImageTop = 0, ImageAlpha = 168, ImageBlendStyle = 1;
  int Brightness = 255, Contrast = 0, Saturation = 255, Exposure = 0;
  // Which of the watermarks the colour effects also change; see ComposeFrame.
  bool ProcessText = false, ProcessImage = false;

  // Brightness 255, contrast 0 and saturation 255: the colour routine is skipped.
  bool ColourNeutral() const;
};

EffectSettings EffectSettingsOf(const TlvFilesRecord& record);
// Writes the settings back into the job.
void StoreEffectSettings(const EffectSettings& settings, TlvFilesRecord& record);
