#pragma once

#include <string>
#include <string_view>

// Classic INI text file without any cache: every call opens the file, does its
// work and closes it again, so a value written by one window is what the next
// read anywhere sees. Section and key names match without regard to ASCII case;
// the first of duplicate keys wins on read and is the one a write updates.
//
// Writes keep every other byte of the file (sections, keys, order, comments,
// line ends, a byte-order mark) and replace the file atomically: the new text
// goes to a temporary file beside it which is then renamed over it, so a failed
// write leaves the old file as it was. Used on the UI thread only.
class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& path() const { return path_; }

  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Whether the section holds the key (with any value, empty included).
  bool hasKey(std::string_view section, std::string_view key) const;
  // Decimal text; absent or not a valid 32-bit integer gives the default.
  int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // Read as an integer; any non-zero value is true.
  bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Returns false when nothing could be written (the caller may ignore it).
  // Line breaks inside a value are written as blanks so a value can never add
  // lines of its own; a section or key name that cannot stand in the file is
  // refused.
  bool writeString(std::string_view section, std::string_view key, std::string_view value);
  bool writeInteger(std::string_view section, std::string_view key, int value);
  bool writeBool(std::string_view section, std::string_view key, bool value);

 private:
  std::string path_;
};

// Strict whole-number parse of a trimmed text into a 32-bit integer.
bool ParseInteger(std::string_view text, int& value);
