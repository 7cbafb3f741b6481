// Opening an input file: format, open parameters, stream information, start
// offset, and the pending values the input hands on to the outputs.
#include <algorithm>

#include "dvd/DvdInput.h"
#include "engine/options/CodecLookup.h"
#include "engine/setup/EngineTask.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "media/UnicodeProtocol.h"
#include "picture/UprightSteps.h"

namespace {

// Open parameters for formats that cannot tell them themselves (raw audio,
// raw video, capture devices).
AVDictionary* openParameters(const PendingFileSettings& pending) {
  AVDictionary* parameters = nullptr;
  auto set = [&](const char* key, const std::string& value) { media::av_dict_set(&parameters, key, value.c_str(), 0); };
  if (pending.sampleRate > 0) set("sample_rate", std::to_string(pending.sampleRate));
  if (pending.channels > 0) {
    AVChannelLayout layout{};
    media::av_channel_layout_default(&layout, pending.channels);
    char name[64];
    if (media::av_channel_layout_describe(&layout, name, sizeof name) > 0) set("ch_layout", name);
  }
  if (pending.frameRate.num > 0 && pending.frameRate.den > 0)
    set("framerate", std::to_string(pending.frameRate.num) + "/" + std::to_string(pending.frameRate.den));
  if (pending.frameWidth > 0 && pending.frameHeight > 0)
    set("video_size", std::to_string(pending.frameWidth) + "x" + std::to_string(pending.frameHeight));
  if (pending.pixelFormat != AV_PIX_FMT_NONE) set("pixel_format", std::to_string(int(pending.pixelFormat)));
  if (pending.videoChannel > 0) set("channel", std::to_string(pending.videoChannel));
  if (!pending.tvStandard.empty()) set("standard", pending.tvStandard);
  return parameters;
}

void selectProgram(AVFormatContext* context, int programId) {
  for (unsigned i = 0; i < context->nb_streams; ++i) context->streams[i]->discard = AVDISCARD_ALL;
  for (unsigned p = 0; p < context->nb_programs; ++p) {
    const AVProgram* program = context->programs[p];
    if (program->id != programId) continue;
    for (unsigned s = 0; s < program->nb_stream_indexes; ++s)
      context->streams[program->stream_index[s]]->discard = AVDISCARD_DEFAULT;
    return;
  }
  throw EngineException("Specified program id not found");
}

}  // namespace

void TCustomEngineTask::OpenInputOrThrow(const std::string& fileName) {
  auto& pending = options_.pending;
  auto& task = options_.task;
  if (int(inputs_.size()) >= kMaxFiles) throw EngineException(StringPrintf("Too many input files (%d)", kMaxFiles));
  const AVInputFormat* format = nullptr;
  if (!pending.formatName.empty()) {
    format = media::av_find_input_format(pending.formatName.c_str());
    if (!format) throw EngineException(StringPrintf("Unknown input format: \"%s\"", pending.formatName.c_str()));
    pending.formatName.clear();
  }

  AVFormatContext* context = media::avformat_alloc_context();
  if (!context) throw EngineException("avformat_alloc_context failed");
  options_.generic.ApplyTo(context, false);
  // A stop request also ends a read that is stuck in the library, such as one
  // searching a damaged file for the next packet.
  context->interrupt_callback = {&StopRequestedCallback, this};
  const std::pair<StreamKind, const AVCodec**> forced[] = {{StreamKind::Video, &context->video_codec},
                                                          {StreamKind::Audio, &context->audio_codec},
                                                          {StreamKind::Subtitle, &context->subtitle_codec}};
  for (const auto& [kind, slot] : forced) {
    const std::string& name = pending.codecName[size_t(kind)];
    if (name.empty() || name == "copy") continue;
    try {
      *slot = FindCodecByName(name, MediaTypeOf(kind), false, FF_COMPLIANCE_NORMAL);
    } catch (...) {
      media::avformat_free_context(context);
      ClearPendingCodecs();
      throw;
    }
  }
  if (pending.pgmyuvDecoder) context->video_codec = media::avcodec_find_decoder(AV_CODEC_ID_PGMYUV);
  pending.pgmyuvDecoder = false;
  if (context->video_codec) context->video_codec_id = context->video_codec->id;
  if (context->audio_codec) context->audio_codec_id = context->audio_codec->id;
  if (context->subtitle_codec) context->subtitle_codec_id = context->subtitle_codec->id;

  // A DVD title reaches the demuxer through the plug-in's reader; a jump of the
  // clock between cells is followed at once instead of after ten seconds.
  InputFile input;
  if (IsOpenDvdName(fileName)) {
    try {
      input.dvd = std::make_shared<DvdInput>(fileName);
    } catch (...) {
      media::avformat_free_context(context);
      ClearPendingCodecs();
      throw;
    }
    input.dvd->Prepare(context, format);
    input.discontinuityThreshold = kDvdDiscontinuityThreshold;
  }
  AVDictionary* parameters = openParameters(pending);
  const int opened =
      media::avformat_open_input(&context, unicode_protocol::NameForLibrary(fileName).c_str(), format, &parameters);
  media::av_dict_free(&parameters);
  ClearPendingCodecs();
  if (opened < 0) throw EngineException(MediaErrorText(fileName, opened));

  input.context = context;
  try {
    if (pending.programId >= 0) selectProgram(context, pending.programId);
    int found;
    {
      std::lock_guard lock(MediaLibraryLock());
      found = media::avformat_find_stream_info(context, nullptr);
    }
    if (found < 0 && task.verbosity >= 0) {
      const std::string message = StringPrintf("%s: could not find codec parameters", fileName.c_str());
      TMediaLogger::instance().Log(this, llVerbose, message);
      throw EngineException(message);
    }
    if (input.dvd) {
      input.dvd->Configure(context);
      input.burnInStream = input.dvd->BurnInStream();
    }
    SeekToStartTime(input, fileName);
    if (input.dvd) LimitToDvdRange(input);
    TakeStreamValues(input);
    if (input.dvd) ApplyDvdParameters(input.dvd->Param());
  } catch (...) {
    media::avformat_close_input(&context);
    throw;
  }
  input.tsScale = pending.tsScale;
  pending.tsScale = {};
  if (!input.dvd) input.source = SourceIdentity::Of(unicode_protocol::LocalPath(fileName));
  task.expectedDuration = std::max(task.expectedDuration, context->duration == AV_NOPTS_VALUE ? -1 : context->duration);
  if (task.verbosity >= 0) media::av_dump_format(context, int(inputs_.size()), fileName.c_str(), 0);
  inputs_.push_back(input);
}

int TCustomEngineTask::StopRequestedCallback(void* task) {
  return static_cast<TCustomEngineTask*>(task)->StopRequested() ? 1 : 0;
}

void TCustomEngineTask::SeekToStartTime(InputFile& input, const std::string& fileName) {
  auto& pending = options_.pending;
  AVFormatContext* context = input.context;
  std::int64_t timestamp = pending.startTime;
  if (context->start_time != AV_NOPTS_VALUE) timestamp += context->start_time;
  // Only a requested start time seeks: a seek back to the file's own start can
  // land behind its first key frame and lose the whole picture.
  if (pending.startTime != 0 && !SeekInput(input, timestamp) && options_.task.verbosity > 0)
    TMediaLogger::instance().LogFmt(this, llWarning, "%s: could not seek to position %0.3f", fileName.c_str(),
                                    double(timestamp) / AV_TIME_BASE);
  input.tsOffset = pending.inputTsOffset - (options_.task.copyTimestamps ? 0 : timestamp);
  input.startTime = pending.startTime;
  pending.startTime = 0;
  pending.inputTsOffset = 0;
}

// A DVD range is read with some sound of the chapters around it (multiplexed
// beside their pictures): only what lies between its first picture, or the
// start time, and the end of its last chapter is used.
void TCustomEngineTask::LimitToDvdRange(InputFile& input) {
  const AVFormatContext* context = input.context;
  if (context->start_time != AV_NOPTS_VALUE) input.beginTime = context->start_time + input.startTime + input.tsOffset;
  if (input.dvd->EndTime() != AV_NOPTS_VALUE) input.endTime = input.dvd->EndTime() + input.tsOffset;
}

// A DVD title seeks by the disc's cell times and VOBU positions; timestamps
// there do not count from the start of the chapters.
bool TCustomEngineTask::SeekInput(InputFile& input, std::int64_t timestamp) {
  AVFormatContext* context = input.context;
  if (!input.dvd) return media::av_seek_frame(context, -1, timestamp, AVSEEK_FLAG_BACKWARD) >= 0;
  if (options_.pending.startTime <= 0) return true;
  const std::int64_t position = input.dvd->PositionOf(double(options_.pending.startTime) / AV_TIME_BASE);
  return position >= 0 && media::av_seek_frame(context, -1, position, AVSEEK_FLAG_BYTE) >= 0;
}

void TCustomEngineTask::ApplyDvdParameters(const DvdParam& param) {
  if (param.AudioChannels > 0) options_.pending.channels = param.AudioChannels;
  // 1 deinterlaces every picture, 2 only what is really interlaced.
  if (param.Deinterlace == 1) options_.task.deinterlace = true;
  if (param.Deinterlace == 2) options_.task.autoDeinterlace = true;
}

// The input's picture and sound become the defaults of the outputs that follow.
void TCustomEngineTask::TakeStreamValues(InputFile& input) {
  auto& pending = options_.pending;
  AVFormatContext* context = input.context;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    AVStream* stream = context->streams[i];
    const AVCodecParameters* parameters = stream->codecpar;
    switch (parameters->codec_type) {
      case AVMEDIA_TYPE_VIDEO: {
        // The next output takes the picture as shown, turned upright.
        pending.frameWidth = parameters->width;
        pending.frameHeight = parameters->height;
        AVRational pixelAspect = parameters->sample_aspect_ratio;
        UprightSteps{.orientation = StreamOrientation(*stream)}.Apply(pending.frameWidth, pending.frameHeight,
                                                                      pixelAspect);
        const double sar = pixelAspect.num ? av_q2d(pixelAspect) : 1.0;
        pending.aspectRatio = pending.frameHeight ? float(sar * pending.frameWidth / pending.frameHeight) : 0;
        pending.pixelFormat = AVPixelFormat(parameters->format);
        pending.pixelFormatFromSource = true;
        pending.frameRate = media::av_guess_frame_rate(context, stream, nullptr);
        if (stream->avg_frame_rate.num && av_cmp_q(stream->avg_frame_rate, stream->r_frame_rate))
          TMediaLogger::instance().LogFmt(
              this, llInfo, "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)",
              int(i), av_q2d(stream->avg_frame_rate), stream->avg_frame_rate.num, stream->avg_frame_rate.den,
              av_q2d(stream->r_frame_rate), stream->r_frame_rate.num, stream->r_frame_rate.den);
        if (pending.disabled[size_t(StreamKind::Video)]) stream->discard = AVDISCARD_ALL;
        else if (options_.task.videoDiscard) stream->discard = AVDiscard(options_.task.videoDiscard);
        break;
      }
      case AVMEDIA_TYPE_AUDIO:
        pending.channels = parameters->ch_layout.nb_channels;
        pending.sampleRate = parameters->sample_rate;
        pending.sampleFormat = AVSampleFormat(parameters->format);
        if (pending.disabled[size_t(StreamKind::Audio)]) stream->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        if (pending.disabled[size_t(StreamKind::Subtitle)]) stream->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_DATA:
      case AVMEDIA_TYPE_ATTACHMENT: break;
      default: throw EngineException("invalid codec_type");
    }
  }
}
