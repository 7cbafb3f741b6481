#include "engine/options/Presets.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

constexpr const char* kCodecLines[] = {"vcodec", "acodec", "scodec"};  // by StreamKind

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void applyLine(TaskOptions& options, const std::string& presetName, const std::string& line) {
  const auto equals = line.find('=');
  const std::string name = line.substr(0, equals);
  const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
  if (name.empty() || value.empty())
    throw EngineException(StringPrintf("%s: Invalid syntax: \"%s\"", presetName.c_str(), line.c_str()));
  for (int kind = 0; kind < kStreamKindCount; ++kind) {
    if (name != kCodecLines[kind]) continue;
    options.pending.codecName[size_t(kind)] = value;
    return;
  }
  if (options.generic.Set(name, value) != GenericOptions::Result::Stored)
    throw EngineException(StringPrintf("%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"",
                                       presetName.c_str(), line.c_str(), name.c_str(), value.c_str()));
}

}  // namespace

void ApplyPresetText(TaskOptions& options, const std::string& presetName, const std::string& text) {
  std::istringstream lines(trimmed(text));
  for (std::string line; std::getline(lines, line);) {
    line = trimmed(line);
    if (!line.empty()) applyLine(options, presetName, line);
  }
}

void ApplyPresetFile(TaskOptions& options, const std::string& fileName) {
  std::error_code error;
  std::ifstream file;
  if (std::filesystem::is_regular_file(fileName, error)) file.open(fileName, std::ios::binary);
  if (!file.is_open()) throw EngineException(StringPrintf("Preset \"%s\" not found", fileName.c_str()));
  std::ostringstream text;
  text << file.rdbuf();
  ApplyPresetText(options, fileName, text.str());
}

void ApplyNamedPreset(TaskOptions& options, StreamKind kind, const std::string& name) {
  const BuiltinPreset* preset = FindBuiltinPreset(name);
  if (!preset) preset = FindBuiltinPreset(options.pending.codecName[size_t(kind)] + "-" + name);
  if (preset)
    ApplyPresetText(options, preset->name, preset->text);
  else
    ApplyPresetFile(options, name);
}
