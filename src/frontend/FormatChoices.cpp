#include "frontend/FormatChoices.h"

#include <algorithm>
#include <cctype>

#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/NumberTexts.h"

namespace fc = format_catalogue;

namespace {

// Encoder items match in any case.
std::optional<std::string> StoredEncoder(fc::EncoderKind kind, std::string_view item) {
  const fc::EncoderRow* row = fc::EncoderOfItem(kind, fc::LowerCase(item));
  return row ? std::optional<std::string>(row->stored) : std::nullopt;
}

std::optional<std::string> StoredItemOf(fc::ItemStore store, std::string_view item) {
  switch (store) {
    case fc::ItemStore::VideoEncoder: return StoredVideoEncoder(item);
    case fc::ItemStore::AudioEncoder: return StoredAudioEncoder(item);
    case fc::ItemStore::Channel: return StoredChannel(item);
    case fc::ItemStore::Volume: return StoredVolume(item);
    case fc::ItemStore::AsText: break;
  }
  return std::string(item);
}

}  // namespace

std::optional<std::string> StoredVideoEncoder(std::string_view item) { return StoredEncoder(fc::EncoderKind::Video, item); }

std::optional<std::string> StoredAudioEncoder(std::string_view item) { return StoredEncoder(fc::EncoderKind::Audio, item); }

std::optional<std::string> StoredChannel(std::string_view item) {
  for (const fc::StoredItem& channel : fc::channels())
    if (channel.item == item) return channel.stored;
  return std::nullopt;
}

// The item reads as a percentage ("25%").
std::optional<std::string> StoredVolume(std::string_view item) {
  const auto& percents = fc::volumePercents();
  int percent = 0;
  if (item.empty() || !IsInteger(item.substr(0, item.size() - 1), &percent)) return std::nullopt;
  if (std::find(percents.begin(), percents.end(), percent) == percents.end()) return std::nullopt;
  return std::to_string(percent * 256 / 100);
}

std::optional<std::string> DefaultChoice(const IniFile& catalogue, int code, std::string_view paraKey) {
  const fc::ParameterList* list = fc::ParameterListOf(paraKey);
  if (!list) return std::nullopt;
  const std::string section = fc::FormatSection(code);
  const auto items = fc::SplitItems(catalogue.readString(section, list->listKey, "null"));
  const int index = catalogue.readInteger(section, list->indexKey, 0);
  if (index < 0 || size_t(index) >= items.size()) return std::nullopt;
  return StoredItemOf(list->store, items[size_t(index)]);
}

FormatParameters::FormatParameters(const IniFile& settings, const IniFile& catalogue, int code)
    : settings_(settings), catalogue_(catalogue), code_(code) {}

std::string FormatParameters::Target() const { return fc::FormatTarget(catalogue_, code_); }

std::string FormatParameters::Read(std::string_view paraKey, std::string_view fallback) const {
  const auto choice = DefaultChoice(catalogue_, code_, paraKey);
  return settings_.readString(fc::FormatSection(code_), paraKey, choice ? *choice : fallback);
}

std::string CurrentZoomMode(const IniFile& settings, int code) {
  return settings.readString(fc::FormatSection(code), "parazoom", "lbox");
}
