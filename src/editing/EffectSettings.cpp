#include "editing/EffectSettings.h"

#include "frontend/JobRecord.h"

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
