#include "TitleInfo.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <string>

#include "Languages.h"

namespace dvddec {
namespace {

constexpr int kMaxAudio = 8;
constexpr int kMaxSubtitles = 32;
constexpr unsigned kWideAspect = 3;  // the IFO's code for 16:9

struct AudioFormat {
  int baseId;
  const char* name;
};

// Stream id base and display name of an IFO audio format; baseId 0 for formats
// the program cannot demux.
AudioFormat AudioFormatOf(unsigned format) {
  switch (format) {
    case 0: return {0x80, "AC3"};
    case 2:
    case 3: return {0xC0, "MPEG"};
    case 4: return {0xA0, "LPCM"};
    case 6: return {0x88, "DTS"};
    default: return {0, ""};
  }
}

template <size_t N>
void CopyText(char (&target)[N], const std::string& text) {
  std::snprintf(target, N, "%s", text.c_str());
}

// The ISO 639-2 code of a stream the IFO gives a language.
std::string LanguageOf(bool named, std::uint16_t code) { return named ? LanguageCode(code) : std::string(); }

void FillVideo(const video_attr_t& video, DvdTitleInfo& info) {
  static const int kWidths[] = {720, 704, 352, 352};
  info.VideoType = video.mpeg_version == 0 ? 1 : 2;
  info.Width = kWidths[video.picture_size & 3];
  info.Height = video.video_format == 1 ? 576 : 480;
  if (video.picture_size == 3) info.Height /= 2;
}

void FillAudio(const pgc_t& pgc, const vtsi_mat_t& titleSet, DvdTitleInfo& info) {
  const int listed = std::min<int>(titleSet.nr_of_vts_audio_streams, kMaxAudio);
  for (int i = 0; i < listed; ++i) {
    if (!(pgc.audio_control[i] & 0x8000)) continue;
    const audio_attr_t& attributes = titleSet.vts_audio_attr[i];
    const AudioFormat format = AudioFormatOf(attributes.audio_format);
    if (format.baseId == 0) continue;
    CopyText(info.AudioLanguage[info.AudioCount], LanguageOf(attributes.lang_type == 1, attributes.lang_code));
    DvdAudioEntry& entry = info.Audio[info.AudioCount++];
    entry.ID = format.baseId + ((pgc.audio_control[i] >> 8) & 7);
    std::string description = attributes.lang_type == 1 ? LanguageName(attributes.lang_code) : std::string();
    if (!description.empty()) description += ' ';
    description += std::string(format.name) + " " + std::to_string(attributes.channels + 1) + "ch";
    CopyText(entry.Description, description);
  }
}

// The subpicture control word of each stream holds the physical stream number
// per display: bits 24-28 for 4:3, bits 16-20 for 16:9 ("wide"). Commercial
// 16:9 discs put 0 into the 4:3 field of every stream.
void FillSubtitles(const pgc_t& pgc, const vtsi_mat_t& titleSet, DvdTitleInfo& info) {
  const int listed = std::min<int>(titleSet.nr_of_vts_subp_streams, kMaxSubtitles);
  const unsigned shift = titleSet.vts_video_attr.display_aspect_ratio == kWideAspect ? 16 : 24;
  for (int i = 0; i < listed; ++i) {
    if (!(pgc.subp_control[i] & 0x80000000u)) continue;
    const subp_attr_t& attributes = titleSet.vts_subp_attr[i];
    CopyText(info.SubtitleLanguage[info.SubtitleCount], LanguageOf(attributes.type == 1, attributes.lang_code));
    DvdSubtitleEntry& entry = info.Subtitles[info.SubtitleCount++];
    entry.ID = 0x20 + int((pgc.subp_control[i] >> shift) & 0x1F);
    const std::string language = attributes.type == 1 ? LanguageName(attributes.lang_code) : std::string();
    CopyText(entry.Description, language.empty() ? "Unknown" : language);
  }
}

// Each chapter's start from the title's start, summed from the cells' times.
void FillChapterStarts(const TitleLayout& layout, DvdTitleInfo& info) {
  const int listed = std::min<int>(int(layout.chapters.size()), DVDDEC_MAX_CHAPTER_TIMES);
  for (int chapter = 0; chapter < listed; ++chapter)
    info.ChapterStart[chapter] = std::uint32_t(std::lround(ChaptersSeconds(layout, 0, chapter - 1) * 90000));
}

}  // namespace

double ChaptersSeconds(const TitleLayout& layout, int firstChapter, int lastChapter) {
  double seconds = 0;
  const int last = std::min(lastChapter, int(layout.chapters.size()) - 1);
  for (int chapter = std::max(firstChapter, 0); chapter <= last; ++chapter)
    for (const Cell& cell : layout.chapters[size_t(chapter)]) seconds += cell.seconds;
  return seconds;
}

void FillTitleInfo(const TitleLayout& layout, const vtsi_mat_t& titleSet, DvdTitleInfo& info) {
  std::memset(&info, 0, sizeof info);
  const int chapters = int(layout.chapters.size());
  info.Duration = ChaptersSeconds(layout, 0, chapters - 1);
  FillVideo(titleSet.vts_video_attr, info);
  info.DisplayAspect = std::uint8_t(titleSet.vts_video_attr.display_aspect_ratio);
  FillAudio(*layout.pgc, titleSet, info);
  FillSubtitles(*layout.pgc, titleSet, info);
  // The program chain is a packed record: its array is read by index, not bound to a reference.
  for (size_t i = 0; i < std::size(info.Palette); ++i) info.Palette[i] = layout.pgc->palette[i];
  info.ChapterCount = chapters;
  FillChapterStarts(layout, info);
}

}  // namespace dvddec
