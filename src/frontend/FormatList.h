#pragma once

#include <string>
#include <vector>

class IniFile;

// The compiled list of output formats and the keys that join it to the format
// catalogue file and the settings file, without Qt. Format code = group * 100 +
// position, both counted from 0.
namespace format_catalogue {

constexpr int kTableSize = 51;

// The picture the format picker draws beside a group.
enum class GroupPicture { Iphone, Gphone, MobilePhone, BlackBerry, Nokia, PocketPc, Film, Note };

// One row of the format table: a group's caption and picture and its formats'
// display names by position. A format's code is group * 100 + position; its
// catalogue section (FormatSection) holds its container, codecs, sizes and
// rates.
struct FormatGroup {
  const char* caption;
  GroupPicture picture;
  std::vector<const char*> names;  // display names by position
};

// The format table: the eight groups with their captions, pictures and the 39
// display names.
const std::vector<FormatGroup>& groups();

struct FormatEntry {
  int code;
  const char* name;
};
// Every format of the list in group and position order.
std::vector<FormatEntry> AllFormats();
// The display name of a code, or nullptr when the list has no such format.
const char* FormatName(int code);

// "formatInfo" + decimal code: the format's section in both INI files.
std::string FormatSection(int code);
// Catalogue "FileExt" of the code's section, default "mp4".
std::string FormatFileExt(const IniFile& catalogue, int code);
// Catalogue "Format" of the code's section, default "null".
std::string FormatTarget(const IniFile& catalogue, int code);

// A catalogue item list split at every comma, pieces kept as they are (a
// trailing comma gives a last, empty item); "null" or empty gives no items.
std::vector<std::string> SplitItems(const std::string& list);

}  // namespace format_catalogue
