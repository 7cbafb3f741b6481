#include "frontend/FormatChoices.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/NumberTexts.h"

namespace {

struct Mapping {
  std::string_view item, stored;
};

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return lower;
}

template <size_t N>
std::optional<std::string> lookUp(const std::array<Mapping, N>& table, std::string_view item) {
  for (const auto& entry : table)
    if (entry.item == item) return std::string(entry.stored);
  return std::nullopt;
}

// Encoder items, lower-cased, and the codec names stored for them.
constexpr std::array<Mapping, 27> kVideoEncoders{{
    {"mpeg-4", "mpeg4"}, {"xvid", "libxvid"}, {"h264", "libx264"}, {"3gp", "3gp"}, {"3g2", "3g2"},
    {"mov", "mov"}, {"wmv1", "wmv1"}, {"wmv2", "wmv2"}, {"wmv3", "wmv3"}, {"flv", "flv"}, {"swf", "swf"},
    {"msmpeg4", "msmpeg4"}, {"msmpeg4v1", "msmpeg4v1"}, {"msmpeg4v2", "msmpeg4v2"},
    {"mpeg1video", "mpeg1video"}, {"mpeg2video", "mpeg2video"}, {"h263", "h263"}, {"h263p", "h263p"},
    {"rawvideo", "rawvideo"}, {"rv10", "rv10"}, {"rv20", "rv20"}, {"dvvideo", "dvvideo"},
    {"huffyuv", "huffyuv"}, {"ljpeg", "ljpeg"}, {"mjpeg", "mjpeg"}, {"svq1", "svq1"}, {"zlib", "zlib"},
}};

constexpr std::array<Mapping, 15> kAudioEncoders{{
    {"mp3", "libmp3lame"}, {"ogg", "vorbis"}, {"mp2", "mp2"}, {"aac", "libfaac"}, {"ac-3", "ac3"},
    {"flac", "libflac"}, {"amr_nb", "libopencore_amrnb"}, {"pcm_s16", "pcm_s16le"}, {"pcm_u16", "pcm_u16le"},
    {"pcm_alaw", "pcm_alaw"}, {"pcm_mulaw ", "pcm_mulaw"}, {"adpcm_ms", "adpcm_ms"},
    {"adpcm_ima_wav", "adpcm_ima_wav"}, {"wma1", "wmav1"}, {"wma2", "wmav2"},
}};

constexpr std::array<Mapping, 3> kChannels{{{"as source", "as source"}, {"mono 1 channel", "1"}, {"stereo 2 channels", "2"}}};

// Each "para" key with the catalogue list and default index it is chosen from
// and how an item becomes the stored value (nullptr: the item text itself).
struct ParameterList {
  std::string_view paraKey, listKey, indexKey;
  std::optional<std::string> (*store)(std::string_view item);
};

constexpr std::array<ParameterList, 9> kParameterLists{{
    {"paraVideoSize", "VideoSize", "iVideoSize", nullptr},
    {"paraVideoBitRate", "VideoBitRate", "iVideoBitRate", nullptr},
    {"paraFrameRate", "FrameRate", "iFrameRate", nullptr},
    {"paraVideoEncoder", "VideoEncoder", "iVideoEncoder", StoredVideoEncoder},
    {"paraAudioBitRate", "AudioBitRate", "iAudioBitRate", nullptr},
    {"paraSampleRate", "SampleRate", "iSampleRate", nullptr},
    {"paraAudioEncoder", "AudioEncoder", "iAudioEncoder", StoredAudioEncoder},
    {"paraChannel", "Channel", "iChannel", StoredChannel},
    {"paraVolume", "Volume", "iVolume", StoredVolume},
}};

}  // namespace

std::optional<std::string> StoredVideoEncoder(std::string_view item) { return lookUp(kVideoEncoders, lowerCase(item)); }

std::optional<std::string> StoredAudioEncoder(std::string_view item) { return lookUp(kAudioEncoders, lowerCase(item)); }

std::optional<std::string> StoredChannel(std::string_view item) { return lookUp(kChannels, item); }

// The item reads as a percentage ("25%"); 100 % is the engine's 256.
std::optional<std::string> StoredVolume(std::string_view item) {
  constexpr std::array<int, 12> kPercents{25, 50, 75, 100, 125, 150, 175, 200, 250, 300, 350, 400};
  int percent = 0;
  if (item.empty() || !IsInteger(item.substr(0, item.size() - 1), &percent)) return std::nullopt;
  if (std::find(kPercents.begin(), kPercents.end(), percent) == kPercents.end()) return std::nullopt;
  return std::to_string(percent * 256 / 100);
}

std::optional<std::string> DefaultChoice(const IniFile& catalogue, int code, std::string_view paraKey) {
  const auto list = std::find_if(kParameterLists.begin(), kParameterLists.end(),
                                 [&](const ParameterList& entry) { return entry.paraKey == paraKey; });
  if (list == kParameterLists.end()) return std::nullopt;
  const std::string section = format_catalogue::FormatSection(code);
  const auto items = format_catalogue::SplitItems(catalogue.readString(section, list->listKey, "null"));
  const int index = catalogue.readInteger(section, list->indexKey, 0);
  if (index < 0 || size_t(index) >= items.size()) return std::nullopt;
  const std::string& item = items[size_t(index)];
  return list->store ? list->store(item) : item;
}

FormatParameters::FormatParameters(const IniFile& settings, const IniFile& catalogue, int code)
    : settings_(settings), catalogue_(catalogue), code_(code) {}

std::string FormatParameters::Target() const { return format_catalogue::FormatTarget(catalogue_, code_); }

std::string FormatParameters::Read(std::string_view paraKey, std::string_view fallback) const {
  const auto choice = DefaultChoice(catalogue_, code_, paraKey);
  return settings_.readString(format_catalogue::FormatSection(code_), paraKey, choice ? *choice : fallback);
}

std::string CurrentZoomMode(const IniFile& settings, int code) {
  return settings.readString(format_catalogue::FormatSection(code), "parazoom", "lbox");
}
