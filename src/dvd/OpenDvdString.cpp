#include "dvd/OpenDvdString.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view kPrefix = "opendvd:";

struct Field {
  const char* name;
  int32_t DvdParam::*member;
};

const Field kFields[] = {
    {"Title", &DvdParam::Title},         {"FromChapter", &DvdParam::FromChapter},
    {"ToChapter", &DvdParam::ToChapter}, {"AudioID", &DvdParam::AudioID},
    {"SubtitleID", &DvdParam::SubtitleID}, {"AudioChannels", &DvdParam::AudioChannels},
    {"Deinterlace", &DvdParam::Deinterlace},
};
constexpr int kFieldCount = int(std::size(kFields));

struct Extra {
  const char* name;
  bool OpenDvdExtras::*member;
};

const Extra kExtras[] = {{"AllStreams", &OpenDvdExtras::allStreams}, {"Chapters", &OpenDvdExtras::chapters}};
constexpr int kExtraCount = int(std::size(kExtras));

// Which fields and extras a name gave, to refuse repeats.
struct Seen {
  bool fields[kFieldCount] = {};
  bool extras[kExtraCount] = {};
};

bool ParseNumber(std::string_view text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end;
}

bool ParseExtra(std::string_view text, bool& value) {
  int32_t number = 0;
  if (!ParseNumber(text, number) || (number != 0 && number != 1)) return false;
  value = number == 1;
  return true;
}

// One "Name=value" item into the records; `seen` marks what was given.
bool ParseField(std::string_view item, DvdParam& param, OpenDvdExtras& extras, Seen& seen) {
  const size_t equals = item.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view name = item.substr(0, equals), value = item.substr(equals + 1);
  for (int i = 0; i < kFieldCount; ++i) {
    if (name != kFields[i].name) continue;
    if (std::exchange(seen.fields[i], true)) return false;
    return ParseNumber(value, param.*kFields[i].member);
  }
  for (int i = 0; i < kExtraCount; ++i) {
    if (name != kExtras[i].name) continue;
    if (std::exchange(seen.extras[i], true)) return false;
    return ParseExtra(value, extras.*kExtras[i].member);
  }
  return false;
}

bool ParseFields(std::string_view text, DvdParam& param, OpenDvdExtras& extras) {
  Seen seen;
  param = DvdParam{0, 0, 99, 0, 0, 2, 0};
  extras = {};
  while (true) {
    const size_t comma = text.find(',');
    if (!ParseField(text.substr(0, comma), param, extras, seen)) return false;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (!seen.fields[0] || param.Title < 1) return false;
  param.Title -= 1;
  return true;
}

}  // namespace

std::string BuildOpenDvdString(const std::string& path, const DvdParam& param, const OpenDvdExtras& extras) {
  char fields[256];
  std::snprintf(fields, sizeof fields,
                "|Title=%d,FromChapter=%d,ToChapter=%d,AudioID=%d,SubtitleID=%d,AudioChannels=%d,Deinterlace=%d",
                param.Title + 1, param.FromChapter, param.ToChapter, param.AudioID, param.SubtitleID,
                param.AudioChannels, param.Deinterlace);
  std::string name = std::string(kPrefix) + path + fields;
  for (const Extra& extra : kExtras)
    if (extras.*extra.member) name += std::string(",") + extra.name + "=1";
  return name;
}

// The fields follow the last "|" when what follows it has a "="; a path may
// itself hold "|".
bool ParseOpenDvdString(const std::string& text, std::string& path, DvdParam& param, bool& hasParameters,
                        OpenDvdExtras* extras) {
  if (text.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  const std::string_view rest = std::string_view(text).substr(kPrefix.size());
  const size_t bar = rest.rfind('|');
  hasParameters = bar != std::string_view::npos && rest.find('=', bar) != std::string_view::npos;
  const std::string_view location = hasParameters ? rest.substr(0, bar) : rest;
  if (location.empty()) return false;
  OpenDvdExtras given;
  if (hasParameters && !ParseFields(rest.substr(bar + 1), param, given)) return false;
  path = location;
  if (extras) *extras = given;
  return true;
}
