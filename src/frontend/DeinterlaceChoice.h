#pragma once

#include <string>

#include "picture/UprightSteps.h"

class IniFile;
struct TInputOptions;

// The user's deinterlacing choice (Tools › Preference, settings "deinterlace":
// "auto", "always" or "never", default "auto") as the engine takes it.
namespace deinterlace_choice {

// The choice as the picture chain takes it (the player).
Deinterlacing PictureChoice(const IniFile& settings);
// 0 never, 1 always, 2 auto: the DVD source's Deinterlace field.
int DvdField(const IniFile& settings);
// Adds the engine option of the choice to a file task's input options.
void ApplyTo(const IniFile& settings, TInputOptions& input);

}  // namespace deinterlace_choice
