#include "editing/EffectSettings.h"

#include <algorithm>

#include "jobs/JobRecord.h"

bool EffectSettings::ColourNeutral() const { return Brightness == 255 && Contrast == 0 && Saturation == 255; }

EffectSettings EffectSettingsOf(const TlvFilesRecord& record) {
  EffectSettings s;
  s.Text = record.WaterMarkText;
  s.Font = record.WaterMarkFont;
  s.FontColor = record.WaterMarkFontColor;
  s.TextLeft = record.TextLeft;
  s.TextTop = record.TextTop;
  s.ImagePath = record.WaterMarkImage;
  s.ImageLeft = record.ImageLeft;
  s.ImageTop = record.ImageTop;
  s.ImageAlpha = record.ImageAlpha;
  s.ImageBlendStyle = record.ImageBlendStyle;
  s.Brightness = record.Brightness;
  s.Contrast = record.Contrast;
  s.Saturation = record.Saturation;
  s.Exposure = record.Exposure;
  s.ProcessText = record.ProcessText;
  s.ProcessImage = record.ProcessImage;
  return s;
}

void StoreEffectSettings(const EffectSettings& s, TlvFilesRecord& record) {
  record.WaterMarkText = s.Text;
  record.WaterMarkFont = s.Font;
  record.WaterMarkFontColor = s.FontColor;
  record.TextLeft = std::max(0, s.TextLeft);
  record.TextTop = std::max(0, s.TextTop);
  record.WaterMarkImage = s.ImagePath;
  record.ImageLeft = std::max(0, s.ImageLeft);
  record.ImageTop = std::max(0, s.ImageTop);
  record.ImageAlpha = s.ImageAlpha;
  record.ImageBlendStyle = s.ImageBlendStyle;
  record.Brightness = s.Brightness;
  record.Contrast = s.Contrast;
  record.Saturation = s.Saturation;
  record.Exposure = s.Exposure;
  record.ProcessText = s.ProcessText;
  record.ProcessImage = s.ProcessImage;
}
