#pragma once

#include <optional>
#include <string>
#include <string_view>

class IniFile;

// The values the parameter panel stores in the settings file for the items of
// the catalogue's lists; nullopt where the panel stores nothing for an item.
std::optional<std::string> StoredVideoEncoder(std::string_view item);
std::optional<std::string> StoredAudioEncoder(std::string_view item);
std::optional<std::string> StoredChannel(std::string_view item);
std::optional<std::string> StoredVolume(std::string_view item);

// The value the panel's "Default" button stores under a "para" key for the
// format: the catalogue item at the format's default index, mapped as the panel
// maps it. nullopt when the catalogue offers no such item or key.
std::optional<std::string> DefaultChoice(const IniFile& catalogue, int code, std::string_view paraKey);

// The fitting mode ("parazoom") stored for a format, "lbox" when none is.
std::string CurrentZoomMode(const IniFile& settings, int code);

// The user's parameter values for one format code, as the task builders read
// them. A value the user never stored is the format's default choice, so a
// format converts as its catalogue entry describes until the user changes it.
class FormatParameters {
 public:
  FormatParameters(const IniFile& settings, const IniFile& catalogue, int code);

  int Code() const { return code_; }
  // Catalogue "Format" of the format, default "null".
  std::string Target() const;
  // Settings value of the key in the format's section; when absent, the
  // format's default choice; when there is none, `fallback`.
  std::string Read(std::string_view paraKey, std::string_view fallback) const;

 private:
  const IniFile& settings_;
  const IniFile& catalogue_;
  int code_;
};
