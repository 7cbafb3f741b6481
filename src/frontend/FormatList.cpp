#include "frontend/FormatList.h"

#include <algorithm>
#include <cctype>

#include "frontend/IniFile.h"

namespace format_catalogue {

std::vector<FormatEntry> AllFormats() {
  std::vector<FormatEntry> all;
  for (size_t g = 0; g < groups().size(); ++g)
    for (size_t p = 0; p < groups()[g].names.size(); ++p) all.push_back({int(g * 100 + p), groups()[g].names[p]});
  return all;
}

const char* FormatName(int code) {
  const int group = code / 100, position = code % 100;
  if (code < 0 || group >= int(groups().size()) || position >= int(groups()[size_t(group)].names.size()))
    return nullptr;
  return groups()[size_t(group)].names[size_t(position)];
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return lower;
}

std::string FormatSection(int code) { return "formatInfo" + std::to_string(code); }

std::string FormatFileExt(const IniFile& catalogue, int code) {
  return catalogue.readString(FormatSection(code), "FileExt", "mp4");
}

std::string FormatTarget(const IniFile& catalogue, int code) {
  return catalogue.readString(FormatSection(code), "Format", "null");
}

std::vector<std::string> SplitItems(const std::string& list) {
  if (list.empty() || list == "null") return {};
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    items.push_back(list.substr(start, comma - start));
  items.push_back(list.substr(start));
  return items;
}

}  // namespace format_catalogue
