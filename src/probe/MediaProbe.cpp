#include "probe/MediaProbe.h"

#include <sys/stat.h>

#include <cctype>
#include <ctime>
#include <vector>

#include "dvd/DvdInput.h"
#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "media/UnicodeProtocol.h"
#include "picture/UprightSteps.h"

namespace {

std::int64_t orUnset(std::int64_t value) { return value == AV_NOPTS_VALUE ? -1 : value; }

std::string metadataValue(const AVDictionary* dictionary, const char* key) {
  const AVDictionaryEntry* entry = media::av_dict_get(dictionary, key, nullptr, 0);
  return entry ? entry->value : "";
}

void requireLibraries() {
  const auto& loader = TMediaLoader::instance();
  if (!loader.isLoaded(MediaLibrary::avcodec)) throw EngineException("LibAVCodec not loaded.");
  if (!loader.isLoaded(MediaLibrary::avformat)) throw EngineException("LibAVFormat not loaded.");
  if (!loader.isLoaded(MediaLibrary::avutil)) throw EngineException("LibAVUtil not loaded.");
  if (!loader.isLoaded(MediaLibrary::swscale)) throw EngineException("LibSwScale not loaded.");
}

std::string sizeText(std::int64_t bytes) {
  if (bytes <= 1024) return StringPrintf("%d Byte", int(bytes));
  if (bytes <= 1048576) return StringPrintf("%.2f KB", double(bytes) / 1024);
  if (bytes <= 1073741824) return StringPrintf("%.2f MB", double(bytes) / 1048576);
  return StringPrintf("%.2f GB", double(bytes) / 1073741824);
}

std::string durationText(std::int64_t microseconds) {
  return microseconds == AV_NOPTS_VALUE || microseconds < 0 ? "N/A" : MicrosecondsText(microseconds);
}

std::string startTimeText(std::int64_t microseconds) {
  return StringPrintf("%d.%.6d", int(microseconds / 1000000), int(std::llabs(microseconds % 1000000)));
}

// ID3 frame identifiers shown under their common names.
std::string displayKey(const std::string& key) {
  static const std::pair<const char*, const char*> names[] = {
      {"TALB", "album"},     {"TAL", "album"},      {"TCOM", "composer"},   {"TCON", "genre"},
      {"TCO", "genre"},      {"TCOP", "copyright"}, {"TDRL", "date"},       {"TENC", "encoder"},
      {"TEN", "encoder"},    {"TIT2", "title"},     {"TT2", "title"},       {"TLAN", "language"},
      {"TPE1", "artist"},    {"TP1", "artist"},     {"TPOS", "disc"},       {"TPUB", "publisher"},
      {"TRCK", "track"},     {"TRK", "track"},      {"TSOA", "albumsort"},  {"TSOP", "authorsort"},
      {"TSOT", "titlesort"}, {"TYER", "year"}};
  for (const auto& [id, name] : names)
    if (key == id) return name;
  return key;
}

void appendMetadata(std::vector<std::string>& lines, const AVDictionary* dictionary, const std::string& prefix) {
  std::vector<const AVDictionaryEntry*> entries;
  const AVDictionaryEntry* entry = nullptr;
  while ((entry = media::av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX)))
    if (std::string(entry->key) != "language") entries.push_back(entry);
  if (entries.empty()) return;
  lines.push_back(prefix + "Metadata:");
  for (const auto* e : entries)
    lines.push_back(StringPrintf("%s  %-16s: %s", prefix.c_str(), displayKey(e->key).c_str(), e->value));
}

std::string rateText(AVRational rate, const char* label) {
  const double value = av_q2d(rate);
  const long long v = std::llround(value * 100);
  if (v % 100) return StringPrintf(", %3.2f %s", value, label);
  if (v % (100 * 1000)) return StringPrintf(", %1.0f %s", value, label);
  return StringPrintf(", %1.0fk %s", value / 1000, label);
}

std::string codecDescription(const AVCodecParameters* parameters) {
  char text[256] = "";
  AVCodecContext* codec = media::avcodec_alloc_context3(nullptr);
  if (!codec) return text;
  if (media::avcodec_parameters_to_context(codec, parameters) >= 0) media::avcodec_string(text, sizeof text, codec, 0);
  media::avcodec_free_context(&codec);
  return text;
}

}  // namespace

std::string CodecNameText(int codecId, unsigned codecTag) {
  const AVCodec* codec = media::avcodec_find_decoder(AVCodecID(codecId));
  if (codec) {
    if (codec->long_name && *codec->long_name) return StringPrintf("%s(%s)", codec->name, codec->long_name);
    return codec->name;
  }
  if (codecId == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
  const unsigned char bytes[4] = {static_cast<unsigned char>(codecTag & 0xFF), static_cast<unsigned char>((codecTag >> 8) & 0xFF),
                                  static_cast<unsigned char>((codecTag >> 16) & 0xFF), static_cast<unsigned char>(codecTag >> 24)};
  bool printable = true;
  for (unsigned char b : bytes) printable = printable && b >= 32 && b <= 126;
  if (printable)
    return StringPrintf("%c%c%c%c / 0x%04X", bytes[0], bytes[1], bytes[2], bytes[3], codecTag);
  return StringPrintf("0x%04x", codecTag);
}

TCustomMediaProbe::TCustomMediaProbe() = default;

TCustomMediaProbe::~TCustomMediaProbe() { Close(); }

void TCustomMediaProbe::Fail(const std::string& message, int libraryLevel) {
  lastError_ = message;
  TMediaLogger::instance().Log(this, LogLevelFromLibrary(libraryLevel), message);
}

bool TCustomMediaProbe::LoadFile(const std::string& fileName, const std::string& formatName) {
  requireLibraries();
  Close();
  const AVInputFormat* format = nullptr;
  if (!formatName.empty()) {
    format = media::av_find_input_format(formatName.c_str());
    if (!format) {
      Fail(StringPrintf("Unknown input format: %s", formatName.c_str()));
      return false;
    }
  }
  context_ = media::avformat_alloc_context();
  ownsContext_ = true;
  context_->flags |= AVFMT_FLAG_NONBLOCK;
  if (IsOpenDvdName(fileName)) {
    try {
      dvd_ = std::make_unique<DvdInput>(fileName);
    } catch (const EngineException& e) {
      Fail(e.what());
      Close();
      return false;
    }
    dvd_->Prepare(context_, format);
  }
  const int opened =
      media::avformat_open_input(&context_, unicode_protocol::NameForLibrary(fileName).c_str(), format, nullptr);
  if (opened < 0) {
    context_ = nullptr;  // freed by the failed open
    Fail(MediaErrorText(fileName, opened));
    Close();
    return false;
  }
  int found;
  {
    std::lock_guard lock(MediaLibraryLock());
    found = media::avformat_find_stream_info(context_, nullptr);
  }
  if (found < 0) {
    Fail(StringPrintf("%s: could not find codec parameters", fileName.c_str()));
    Close();
    return false;
  }
  if (dvd_) dvd_->Configure(context_);
  Analyse();
  forcedFormat_ = formatName;
  return true;
}

void TCustomMediaProbe::Attach(AVFormatContext* context) {
  Close();
  context_ = context;
  ownsContext_ = false;
  Analyse();
}

void TCustomMediaProbe::Close() {
  if (context_ && ownsContext_ && media::avformat_close_input) media::avformat_close_input(&context_);
  context_ = nullptr;
  dvd_.reset();
  ownsContext_ = false;
  forcedFormat_.clear();
  ResetCounts();
}

void TCustomMediaProbe::ResetCounts() {
  fileSize_ = -1;
  streamCount_ = programCount_ = -1;
  audioCount_ = videoCount_ = subtitleCount_ = -1;
  firstAudio_ = firstVideo_ = firstSubtitle_ = -1;
}

void TCustomMediaProbe::Analyse() {
  ResetCounts();
  fileSize_ = context_->pb ? media::avio_size(context_->pb) : -1;
  struct stat st {};
  const std::string name = FileName();
  if (fileSize_ <= 0 && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode)) fileSize_ = st.st_size;

  streamCount_ = int(context_->nb_streams);
  programCount_ = int(context_->nb_programs);
  audioCount_ = videoCount_ = subtitleCount_ = 0;
  for (int i = 0; i < streamCount_; ++i) {
    switch (context_->streams[i]->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO:
        if (videoCount_++ == 0) firstVideo_ = i;
        break;
      case AVMEDIA_TYPE_AUDIO:
        if (audioCount_++ == 0) firstAudio_ = i;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        if (subtitleCount_++ == 0) firstSubtitle_ = i;
        break;
      default: break;
    }
  }
}

bool TCustomMediaProbe::RequireFile() {
  if (context_) return true;
  Fail("file not loaded.", AV_LOG_WARNING);
  return false;
}

TFileStreamInfo TCustomMediaProbe::FileStreamInfo() {
  TFileStreamInfo info;
  if (!RequireFile()) return info;
  info.StartTime = orUnset(context_->start_time);
  info.Duration = orUnset(context_->duration);
  info.BitRate = int(context_->bit_rate);
  const AVDictionary* metadata = context_->metadata;
  std::int64_t created = 0;
  const std::string creation = metadataValue(metadata, "creation_time");
  if (!creation.empty() && media::av_parse_time(&created, creation.c_str(), 0) == 0) info.TimeStamp = created / 1000000;
  std::string date = metadataValue(metadata, "date");
  if (date.empty()) date = metadataValue(metadata, "year");
  if (!date.empty() && std::isdigit(static_cast<unsigned char>(date[0]))) info.Year = std::atoi(date.c_str());
  const std::string track = metadataValue(metadata, "track");
  if (!track.empty() && std::isdigit(static_cast<unsigned char>(track[0]))) info.Track = std::atoi(track.c_str());
  info.Title = metadataValue(metadata, "title");
  info.Author = metadataValue(metadata, "author");
  if (info.Author.empty()) info.Author = metadataValue(metadata, "artist");
  info.Copyright = metadataValue(metadata, "copyright");
  info.Comment = metadataValue(metadata, "comment");
  info.Album = metadataValue(metadata, "album");
  info.Genre = metadataValue(metadata, "genre");
  return info;
}

AVStream* TCustomMediaProbe::StreamOfKind(int index, int kind) {
  if (!RequireFile()) return nullptr;
  const bool audio = kind == AVMEDIA_TYPE_AUDIO;
  if (index == -1) {
    index = audio ? firstAudio_ : firstVideo_;
    if (index < 0) {
      Fail(audio ? "no audio stream." : "no video stream.");
      return nullptr;
    }
  }
  if (index < 0 || index >= streamCount_) {
    Fail(StringPrintf("stream index #%d is invalid.", index));
    return nullptr;
  }
  AVStream* stream = context_->streams[index];
  if (stream->codecpar->codec_type != kind) {
    Fail(StringPrintf(audio ? "stream #%d is not audio stream." : "stream #%d is not video stream.", index));
    return nullptr;
  }
  if (stream->time_base.den == 0) stream->time_base.den = stream->time_base.num ? stream->time_base.num : 1;
  return stream;
}

namespace {

template <typename Info>
void fillTimes(Info& info, const AVStream* stream) {
  info.Language = metadataValue(stream->metadata, "language");
  info.CodecName = CodecNameText(stream->codecpar->codec_id, stream->codecpar->codec_tag);
  info.StartTime = orUnset(stream->start_time);
  if (info.StartTime != -1) info.StartTimeMicroseconds = media::av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
  info.Duration = orUnset(stream->duration);
  if (info.Duration != -1) info.DurationMicroseconds = media::av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
  info.BitRate = int(stream->codecpar->bit_rate);
}

}  // namespace

TAudioStreamInfo TCustomMediaProbe::AudioStreamInfo(int index) {
  TAudioStreamInfo info;
  const AVStream* stream = StreamOfKind(index, AVMEDIA_TYPE_AUDIO);
  if (!stream) return info;
  fillTimes(info, stream);
  info.Channels = stream->codecpar->ch_layout.nb_channels;
  info.SampleRate = stream->codecpar->sample_rate;
  info.SampleFormat = stream->codecpar->format;
  return info;
}

TVideoStreamInfo TCustomMediaProbe::VideoStreamInfo(int index) {
  TVideoStreamInfo info;
  const AVStream* stream = StreamOfKind(index, AVMEDIA_TYPE_VIDEO);
  if (!stream) return info;
  fillTimes(info, stream);
  const AVCodecParameters* parameters = stream->codecpar;
  // The picture as it is shown: a display matrix may turn it upright.
  const UprightSteps upright{.orientation = StreamOrientation(*stream)};
  info.Rotation = upright.orientation.Degrees();
  info.Mirrored = upright.orientation.mirrored;
  info.Height = parameters->height;
  info.Width = parameters->width;
  AVRational sar = parameters->sample_aspect_ratio;
  AVRational pixel = stream->sample_aspect_ratio.num > 0 && stream->sample_aspect_ratio.den > 0
                         ? stream->sample_aspect_ratio
                         : sar;
  upright.Apply(info.Width, info.Height, sar);
  pixel = upright.PixelAspect(pixel);
  if (sar.num > 0 && sar.den > 0 && info.Height > 0)
    info.DisplayAspectRatio = float(av_q2d(sar) * info.Width / info.Height);
  if (pixel.num > 0 && pixel.den > 0) {
    info.SampleAspectNum = pixel.num;
    info.SampleAspectDen = pixel.den;
  }
  info.PixelFormat = parameters->format;
  info.FrameRateNum = stream->r_frame_rate.num;
  info.FrameRateDen = stream->r_frame_rate.den;
  info.AverageFrameRateNum = stream->avg_frame_rate.num;
  info.AverageFrameRateDen = stream->avg_frame_rate.den;
  return info;
}

bool TCustomMediaProbe::IsStreamOfType(int index, int type) {
  if (!RequireFile()) return false;
  if (index < 0 || index >= streamCount_) {
    Fail(StringPrintf("stream index #%d is invalid.", index));
    return false;
  }
  return context_->streams[index]->codecpar->codec_type == type;
}

bool TCustomMediaProbe::IsAudioStream(int index) { return IsStreamOfType(index, AVMEDIA_TYPE_AUDIO); }

bool TCustomMediaProbe::IsVideoStream(int index) { return IsStreamOfType(index, AVMEDIA_TYPE_VIDEO); }

std::string TCustomMediaProbe::FileName() {
  if (!RequireFile()) return {};
  return unicode_protocol::NameFromLibrary(context_->url ? context_->url : "");
}

std::string TCustomMediaProbe::FormatName() {
  if (!RequireFile()) return {};
  return context_->iformat ? context_->iformat->name : "";
}

std::string TCustomMediaProbe::StreamLine(int index) {
  const AVStream* stream = context_->streams[index];
  const AVCodecParameters* parameters = stream->codecpar;
  std::string line = StringPrintf("Stream #%d", index);
  if (context_->iformat && (context_->iformat->flags & AVFMT_SHOW_IDS)) line += StringPrintf("[0x%x]", stream->id);
  const std::string language = metadataValue(stream->metadata, "language");
  if (!language.empty()) line += "(" + language + ")";
  int divisor = int(media::av_gcd(stream->time_base.num, stream->time_base.den));
  if (divisor == 0) divisor = 1;
  line += StringPrintf(", %d/%d", stream->time_base.num / divisor, stream->time_base.den / divisor);
  line += ": " + codecDescription(parameters);
  const AVRational sar = stream->sample_aspect_ratio;
  if (sar.num && av_cmp_q(sar, parameters->sample_aspect_ratio)) {
    AVRational dar{};
    media::av_reduce(&dar.num, &dar.den, std::int64_t(parameters->width) * sar.num,
                     std::int64_t(parameters->height) * sar.den, 1024 * 1024);
    line += StringPrintf(", PAR %d:%d DAR %d:%d", sar.num, sar.den, dar.num, dar.den);
  }
  if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
    if (stream->avg_frame_rate.num && stream->avg_frame_rate.den) line += rateText(stream->avg_frame_rate, "fps");
    if (stream->r_frame_rate.num && stream->r_frame_rate.den) line += rateText(stream->r_frame_rate, "tbr");
    if (stream->time_base.num && stream->time_base.den) line += rateText(av_inv_q(stream->time_base), "tbn");
  }
  if (stream->start_time != AV_NOPTS_VALUE)
    line += ", StartTime: " + startTimeText(media::av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q));
  line += ", Duration: " + (stream->duration == AV_NOPTS_VALUE
                                ? std::string("N/A")
                                : durationText(media::av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q)));
  return line;
}

std::string TCustomMediaProbe::FileInfoText() {
  if (!RequireFile()) return {};
  std::vector<std::string> lines;
  lines.push_back("File Name: " + FileName());
  lines.push_back("Format Name: " + FormatName());
  lines.push_back(std::string("Format Long Name: ") +
                  (context_->iformat && context_->iformat->long_name ? context_->iformat->long_name : ""));
  lines.push_back("File Size: " + sizeText(fileSize_));
  lines.push_back("Duration: " + durationText(context_->duration));
  if (context_->start_time != AV_NOPTS_VALUE && context_->start_time >= 0)
    lines.push_back("StartTime: " + startTimeText(context_->start_time));
  lines.push_back(context_->bit_rate >= 1 ? StringPrintf("Bit Rate: %d kb/s", int(context_->bit_rate / 1000))
                                          : std::string("Bit Rate: N/A"));
  const auto info = FileStreamInfo();
  if (info.TimeStamp > 0) lines.push_back("Time Stamp: " + EpochTimeText(info.TimeStamp, true, "%Y-%m-%d %H:%M:%S"));
  appendMetadata(lines, context_->metadata, "");

  std::vector<bool> inProgram(size_t(streamCount_), false);
  auto appendStream = [&](int index) {
    lines.push_back(StreamLine(index));
    appendMetadata(lines, context_->streams[index]->metadata, "  ");
  };
  for (unsigned p = 0; p < context_->nb_programs; ++p) {
    const AVProgram* program = context_->programs[p];
    std::string provider = metadataValue(program->metadata, "provider_name");
    std::string name = metadataValue(program->metadata, "name");
    lines.push_back(StringPrintf("Program %d %s@%s", program->id, provider.empty() ? "N/A" : provider.c_str(),
                                 name.empty() ? "N/A" : name.c_str()));
    appendMetadata(lines, program->metadata, "  ");
    for (unsigned s = 0; s < program->nb_stream_indexes; ++s) {
      const unsigned index = program->stream_index[s];
      if (index >= unsigned(streamCount_)) continue;
      inProgram[index] = true;
      appendStream(int(index));
    }
  }
  for (int i = 0; i < streamCount_; ++i)
    if (!inProgram[size_t(i)]) appendStream(i);

  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

void TMediaProbe::Analyse() {
  TCustomMediaProbe::Analyse();
  defaultStream_ = FirstVideoStreamIndex() >= 0 ? FirstVideoStreamIndex() : FirstAudioStreamIndex();
  std::int64_t start = defaultStream_ >= 0 ? context()->streams[defaultStream_]->start_time : context()->start_time;
  defaultStartTime_ = start == AV_NOPTS_VALUE ? 0 : start;
}
