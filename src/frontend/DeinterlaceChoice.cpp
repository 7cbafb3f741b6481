#include "frontend/DeinterlaceChoice.h"

#include "engine/face/EngineRecords.h"
#include "frontend/IniFile.h"
#include "frontend/SettingsKeys.h"

namespace deinterlace_choice {

int DvdField(const IniFile& settings) {
  const std::string choice = settings.readString(settings_keys::kSettings, settings_keys::kDeinterlace, "auto");
  return choice == "always" ? 1 : choice == "never" ? 0 : 2;
}

Deinterlacing PictureChoice(const IniFile& settings) {
  static constexpr Deinterlacing kByField[] = {Deinterlacing::Never, Deinterlacing::Always, Deinterlacing::Auto};
  return kByField[DvdField(settings)];
}

void ApplyTo(const IniFile& settings, TInputOptions& input) {
  const int field = DvdField(settings);
  if (field == 0) return;
  input.ExtOptions += (input.ExtOptions.empty() ? "" : "\n") + std::string(field == 1 ? "deinterlace=1" : "autodeinterlace=1");
}

}  // namespace deinterlace_choice
