// What a title converted whole takes from the disc's tables: its streams with
// their languages, the subpicture colours and the chapter times.
#include <algorithm>
#include <cstdio>

#include "dvd/DvdInput.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

constexpr AVRational kChapterTimeBase{1, 90000};  // the unit of the record's chapter starts

// An IFO colour (0x00YYCrCb, studio range BT.601) as RGB.
unsigned RgbOf(std::uint32_t yCrCb) {
  const double y = 1.164 * (int((yCrCb >> 16) & 0xFF) - 16);
  const int cr = int((yCrCb >> 8) & 0xFF) - 128, cb = int(yCrCb & 0xFF) - 128;
  const auto channel = [](double value) { return unsigned(std::clamp(value + 0.5, 0.0, 255.0)); };
  return channel(y + 1.596 * cr) << 16 | channel(y - 0.813 * cr - 0.391 * cb) << 8 | channel(y + 2.018 * cb);
}

// The VobSub index lines the DVD subtitle decoder reads from its extradata.
std::string SubtitleHeader(const std::uint32_t (&palette)[16], int width, int height) {
  std::string text = "size: " + std::to_string(width) + "x" + std::to_string(height) + "\npalette:";
  for (size_t i = 0; i < std::size(palette); ++i) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%s %06x", i ? "," : "", RgbOf(palette[i]));
    text += colour;
  }
  return text + "\n";
}

}  // namespace

std::vector<DvdListedStream> DvdInput::ListedStreams(AVMediaType type) const {
  std::vector<DvdListedStream> streams;
  const bool audio = type == AVMEDIA_TYPE_AUDIO;
  const int count = audio ? info_.AudioCount : info_.SubtitleCount;
  const int chosen = audio ? DemuxerAudioId(param_.AudioID) : param_.SubtitleID;
  for (int i = 0; i < count; ++i) {
    const int id = audio ? DemuxerAudioId(info_.Audio[i].ID) : info_.Subtitles[i].ID;
    DvdListedStream stream{id, audio ? info_.AudioLanguage[i] : info_.SubtitleLanguage[i], id == chosen};
    streams.insert(id == chosen ? streams.begin() : streams.end(), stream);
  }
  return streams;
}

void DvdInput::Describe(AVStream& stream) const {
  const AVMediaType type = stream.codecpar->codec_type;
  for (const DvdListedStream& listed : ListedStreams(type))
    if (listed.demuxerId == stream.id && !listed.language.empty())
      media::av_dict_set(&stream.metadata, "language", listed.language.c_str(), 0);
  if (type == AVMEDIA_TYPE_SUBTITLE) DescribeSubtitle(*stream.codecpar);
}

void DvdInput::DescribeSubtitle(AVCodecParameters& parameters) const {
  parameters.codec_type = AVMEDIA_TYPE_SUBTITLE;
  parameters.codec_id = AV_CODEC_ID_DVD_SUBTITLE;
  const std::string header = SubtitleHeader(info_.Palette, videoWidth_, videoHeight_);
  media::av_freep(&parameters.extradata);
  parameters.extradata = static_cast<std::uint8_t*>(media::av_mallocz(header.size() + AV_INPUT_BUFFER_PADDING_SIZE));
  if (!parameters.extradata) throw EngineException("Not enough memory");
  std::copy(header.begin(), header.end(), parameters.extradata);
  parameters.extradata_size = int(header.size());
}

void DvdInput::AddChapters(AVFormatContext* context) const {
  const int first = std::max(param_.FromChapter, 1) - 1;
  const int last = std::min({param_.ToChapter, info_.ChapterCount, DVDDEC_MAX_CHAPTER_TIMES}) - 1;
  const std::int64_t origin = context->start_time == AV_NOPTS_VALUE
                                  ? 0
                                  : media::av_rescale_q(context->start_time, {1, AV_TIME_BASE}, kChapterTimeBase);
  const std::int64_t end = origin + media::av_rescale_q(context->duration, {1, AV_TIME_BASE}, kChapterTimeBase);
  for (int chapter = first; chapter <= last; ++chapter) {
    auto* mark = static_cast<AVChapter*>(media::av_mallocz(sizeof(AVChapter)));
    auto** grown = static_cast<AVChapter**>(
        media::av_realloc_array(context->chapters, context->nb_chapters + 1, sizeof(AVChapter*)));
    if (!mark || !grown) {
      media::av_free(mark);
      throw EngineException("Not enough memory");
    }
    context->chapters = grown;
    mark->id = chapter + 1;
    mark->time_base = kChapterTimeBase;
    mark->start = origin + info_.ChapterStart[chapter] - info_.ChapterStart[first];
    mark->end = chapter < last ? origin + info_.ChapterStart[chapter + 1] - info_.ChapterStart[first] : end;
    const std::string name = "Chapter " + std::to_string(chapter - first + 1);
    media::av_dict_set(&mark->metadata, "title", name.c_str(), 0);
    grown[context->nb_chapters++] = mark;
  }
}
