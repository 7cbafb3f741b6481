#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frontend/FormatTable.h"

class IniFile;

// The formats of the format table by code, and the keys that join a code to
// its section of the format catalogue file and the settings file, without Qt.
// Format code = group * 100 + position, both counted from 0.
namespace format_catalogue {

constexpr int kTableSize = 51;

struct FormatEntry {
  int code;
  const char* name;
};
// Every format of the table in group and position order.
std::vector<FormatEntry> AllFormats();
// The display name of a code, or nullptr when the table has no such format.
const char* FormatName(int code);

// "formatInfo" + decimal code: the format's section in both INI files.
std::string FormatSection(int code);
// Catalogue "FileExt" of the code's section, default "mp4".
std::string FormatFileExt(const IniFile& catalogue, int code);
// Catalogue "Format" of the code's section, default "null".
std::string FormatTarget(const IniFile& catalogue, int code);

// The text in lower case (ASCII), as the format table's names are matched.
std::string LowerCase(std::string_view text);

// A catalogue item list split at every comma, pieces kept as they are (a
// trailing comma gives a last, empty item); "null" or empty gives no items.
std::vector<std::string> SplitItems(const std::string& list);

}  // namespace format_catalogue
