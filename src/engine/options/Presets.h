#pragma once

#include <span>
#include <string>

#include "engine/options/TaskOptions.h"

// Presets: option lists of "name=value" lines. Lines named "acodec", "vcodec"
// or "scodec" set the pending codec names; every other line goes to the
// generic option store and must be accepted there.

struct BuiltinPreset {
  const char* name;
  const char* text;  // lines separated by "\n"
};
std::span<const BuiltinPreset> BuiltinPresets();
// nullptr when no built-in preset has this name (compared in any case).
const BuiltinPreset* FindBuiltinPreset(const std::string& name);

// "apre", "vpre", "spre": a built-in preset by name, else the built-in preset
// "<codec name of that kind>-<name>", else the file of that name.
void ApplyNamedPreset(TaskOptions& options, StreamKind kind, const std::string& name);
// "fpre": the file of that name; a missing file fails "Preset \"%s\" not found".
void ApplyPresetFile(TaskOptions& options, const std::string& fileName);
// presetName names the preset in the syntax and refusal messages.
void ApplyPresetText(TaskOptions& options, const std::string& presetName, const std::string& text);
