#include "dvd/OpenDvdString.h"

#include <charconv>
#include <cstdio>
#include <string_view>

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

bool ParseNumber(std::string_view text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end;
}

// One "Name=value" item into the record; `seen` marks the fields given.
bool ParseField(std::string_view item, DvdParam& param, bool (&seen)[kFieldCount]) {
  const size_t equals = item.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view name = item.substr(0, equals);
  for (int i = 0; i < kFieldCount; ++i) {
    if (name != kFields[i].name) continue;
    if (seen[i]) return false;
    seen[i] = true;
    return ParseNumber(item.substr(equals + 1), param.*kFields[i].member);
  }
  return false;
}

bool ParseFields(std::string_view text, DvdParam& param) {
  bool seen[kFieldCount] = {};
  param = DvdParam{0, 0, 99, 0, 0, 2, 0};
  while (true) {
    const size_t comma = text.find(',');
    if (!ParseField(text.substr(0, comma), param, seen)) return false;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (!seen[0] || param.Title < 1) return false;
  param.Title -= 1;
  return true;
}

}  // namespace

std::string BuildOpenDvdString(const std::string& path, const DvdParam& param) {
  char fields[256];
  std::snprintf(fields, sizeof fields,
                "|Title=%d,FromChapter=%d,ToChapter=%d,AudioID=%d,SubtitleID=%d,AudioChannels=%d,Deinterlace=%d",
                param.Title + 1, param.FromChapter, param.ToChapter, param.AudioID, param.SubtitleID,
                param.AudioChannels, param.Deinterlace);
  return std::string(kPrefix) + path + fields;
}

// The fields follow the last "|" when what follows it has a "="; a path may
// itself hold "|".
bool ParseOpenDvdString(const std::string& text, std::string& path, DvdParam& param, bool& hasParameters) {
  if (text.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  const std::string_view rest = std::string_view(text).substr(kPrefix.size());
  const size_t bar = rest.rfind('|');
  hasParameters = bar != std::string_view::npos && rest.find('=', bar) != std::string_view::npos;
  const std::string_view location = hasParameters ? rest.substr(0, bar) : rest;
  if (location.empty()) return false;
  if (hasParameters && !ParseFields(rest.substr(bar + 1), param)) return false;
  path = location;
  return true;
}
