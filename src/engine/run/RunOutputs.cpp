// The output records: the output-to-input stream mapping, stream parameters,
// two-pass logs and encoders.
#include "engine/run/RunOutputs.h"

#include <fstream>
#include <sstream>

#include "dvd/DvdInput.h"
#include "engine/run/CodecOpening.h"
#include "engine/run/VideoPath.h"
#include "engine/setup/HookModules.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

constexpr AVRational kDvdSubtitleTimeBase{1, 90000};  // the program stream's clock

std::string codecNameOf(AVCodecID id) { return media::avcodec_get_name(id); }

std::string streamCodecName(const OutputStreamState& output) {
  if (!output.encoder) return "copy";
  return output.encoder->codec ? output.encoder->codec->name : codecNameOf(output.encoder->codec_id);
}

}  // namespace

RunOutputs::RunOutputs(RunContext& run, RunInputs& inputs) : run_(run), inputs_(inputs) {}

RunOutputs::~RunOutputs() {
  for (auto& output : streams_) {
    output.video.Free();
    output.audio.Free();
    media::av_bsf_free(&output.filters);
    if (output.passLog) std::fclose(output.passLog);
  }
  // The stages use the codecs until they are joined.
  for (auto& output : streams_) output.stage.reset();
}

void RunOutputs::Map() {
  for (int o = 0; o < run_.task.OutputCount(); ++o) {
    auto& file = run_.outputFiles[size_t(o)];
    if (file.streams.empty()) throw EngineException(StringPrintf("Output file #%d does not contain any stream", o));
    for (int i = 0; i < int(file.streams.size()); ++i) {
      OutputStreamState output;
      output.file = o;
      output.index = i;
      output.stream = file.context->streams[i];
      output.setup = &file.streams[size_t(i)];
      output.encoder = output.setup->encoder;
      streams_.push_back(std::move(output));
    }
  }
  const auto& maps = run_.settings.streamMaps;
  if (!maps.empty() && maps.size() != streams_.size())
    throw EngineException("Number of stream maps must match number of output streams");
  for (size_t n = 0; n < streams_.size(); ++n) {
    auto& output = streams_[n];
    const AVMediaType kind = MediaTypeOf(output.setup->kind);
    if (!maps.empty()) {
      const auto& map = maps[n];
      auto find = [&](int file, int stream) {
        if (file < 0 || file >= inputs_.FileCount() || stream < 0 || stream >= inputs_.File(file).streamCount)
          return -1;
        return inputs_.File(file).firstStream + stream;
      };
      output.source = find(map.file, map.stream);
      if (output.source < 0) throw EngineException(StringPrintf("Could not find input stream #%d.%d", map.file, map.stream));
      output.sync = find(map.syncFile, map.syncStream);
      if (output.sync < 0)
        throw EngineException(StringPrintf("Could not find sync stream #%d.%d", map.syncFile, map.syncStream));
      const AVStream* source = inputs_.Stream(output.source).stream;
      if (source->codecpar->codec_type != kind)
        throw EngineException(StringPrintf("Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", map.file,
                                           map.stream, codecNameOf(source->codecpar->codec_id).c_str(), output.file,
                                           output.index, streamCodecName(output).c_str()));
    } else if (output.setup->sourceIndex != TCustomEngineTask::kAnySource) {
      output.source = output.sync = inputs_.StreamIndexOf(0, output.setup->sourceIndex);
    } else if (output.setup->sourceId != TCustomEngineTask::kAnySource) {
      // A subpicture stream the demuxer has not met yet is taken when it appears.
      output.source = output.sync = inputs_.FindById(kind, output.setup->sourceId);
      if (output.source < 0 && kind == AVMEDIA_TYPE_SUBTITLE) continue;
      if (output.source < 0)
        throw EngineException(StringPrintf("Could not find the DVD's stream 0x%x for output stream #%d.%d",
                                           output.setup->sourceId, output.file, output.index));
    } else {
      output.source = output.sync = inputs_.ChooseStream(kind, run_.joining ? 0 : -1);
      if (output.source < 0)
        throw EngineException(StringPrintf("Could not find input stream matching output stream #%d.%d (%s)",
                                           output.file, output.index, streamCodecName(output).c_str()));
    }
    auto& input = inputs_.Stream(output.source);
    input.used = true;
    input.stream->discard = AVDISCARD_DEFAULT;
    if (output.encoder) input.decodingNeeded = true;
  }
}

void RunOutputs::Prepare(VideoPath& video) {
  for (auto& output : streams_) PrepareStream(output, video);
}

void RunOutputs::PrepareStream(OutputStreamState& output, VideoPath& video) {
  if (output.source < 0) {
    PrepareWaitingSubtitle(output);
    return;
  }
  const auto& input = inputs_.Stream(output.source);
  const AVStream* source = input.stream;
  media::av_dict_copy(&output.stream->metadata, source->metadata, AV_DICT_DONT_OVERWRITE);
  const AVMediaType type = source->codecpar->codec_type;
  if (!output.encoder) {
    if (source->codecpar->extradata_size > (1 << 28)) throw EngineException("icodec.extradata_size is invalid (too large)");
    if (type == AVMEDIA_TYPE_VIDEO) {
      if (run_.onFrameHook)
        throw EngineException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
      if (!run_.hookModules.Empty())
        throw EngineException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
      if (run_.onPreview) throw EngineException("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
    }
    if (type == AVMEDIA_TYPE_AUDIO && run_.settings.audioVolume != 256)
      throw EngineException("-acodec copy and -vol are incompatible (frames are not decoded)");
    media::avcodec_parameters_copy(output.stream->codecpar, source->codecpar);
    if (run_.outputFiles[size_t(output.file)].context->oformat->codec_tag) output.stream->codecpar->codec_tag = 0;
    output.stream->time_base = source->time_base;
    output.stream->avg_frame_rate = source->avg_frame_rate;
    output.stream->sample_aspect_ratio = source->sample_aspect_ratio;
    return;
  }
  switch (type) {
    case AVMEDIA_TYPE_VIDEO: video.Prepare(output, input); break;
    case AVMEDIA_TYPE_AUDIO:
      // A cut-off stream the libraries could not measure; resampling it would fail obscurely.
      if (source->codecpar->sample_rate <= 0)
        throw EngineException(StringPrintf("%s: audio stream #%d has no sample rate", run_.task.Input(input.file)->url,
                                           input.index));
      break;
    case AVMEDIA_TYPE_SUBTITLE: break;
    default: throw EngineException("invalid codec_type of output stream");
  }
  PreparePassLog(output);
}

// A DVD subpicture stream that appears later: its parameters come from the disc's tables.
void RunOutputs::PrepareWaitingSubtitle(OutputStreamState& output) {
  for (const auto& input : run_.inputFiles)
    if (input.dvd && input.dvd->AllStreams()) input.dvd->DescribeSubtitle(*output.stream->codecpar);
  output.stream->time_base = kDvdSubtitleTimeBase;
}

OutputStreamState* RunOutputs::WaitingFor(int id) {
  for (auto& output : streams_)
    if (output.source < 0 && output.setup->sourceId == id) return &output;
  return nullptr;
}

void RunOutputs::PreparePassLog(OutputStreamState& output) {
  const auto& settings = run_.settings;
  if (settings.pass != 1 && settings.pass != 2) return;
  const std::string prefix = settings.passLogPrefix.empty() ? "ffmpeg2pass" : settings.passLogPrefix;
  const std::string name = (prefix + "-" + std::to_string(&output - streams_.data()) + ".log").substr(0, 1023);
  if (settings.pass == 1) {
    output.passLog = std::fopen(name.c_str(), "wb");
    if (!output.passLog) throw EngineException(StringPrintf("Cannot write log file %s for pass-1 encoding", name.c_str()));
    return;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in)
    throw EngineException(
        StringPrintf("Cannot read file: Error reading log file \"%s\" for pass-2 encoding", name.c_str()));
  std::ostringstream text;
  text << in.rdbuf();
  output.encoder->stats_in = media::av_strdup(text.str().c_str());
  if (!output.encoder->stats_in)
    throw EngineException(StringPrintf(
        "Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding", name.c_str()));
}

void RunOutputs::OpenEncoders() {
  for (auto& output : streams_) {
    AVCodecContext* encoder = output.encoder;
    if (!encoder) continue;
    const AVCodec* codec = encoder->codec ? encoder->codec : media::avcodec_find_encoder(encoder->codec_id);
    if (!codec)
      throw EngineException(StringPrintf("Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                                         int(encoder->codec_id), output.file, output.index,
                                         codecNameOf(encoder->codec_id).c_str()));
    if (OpenCodecLocked(encoder, codec) < 0)
      throw EngineException(StringPrintf(
          "Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect parameters such as "
          "bit_rate, rate, width or height. Please check error log message to find out more detail information.",
          output.file, output.index, codec->name));
    media::avcodec_parameters_from_context(output.stream->codecpar, encoder);
    output.stream->time_base = encoder->time_base;
    if (encoder->codec_type == AVMEDIA_TYPE_VIDEO) output.stream->avg_frame_rate = encoder->framerate;
    if (encoder->codec_type == AVMEDIA_TYPE_AUDIO) output.stage = std::make_unique<EncoderStage>(encoder, run_.task);
  }
}

void RunOutputs::LogMapping() const {
  auto& logger = TMediaLogger::instance();
  if (!logger.WillDeliver(llInfo)) return;
  logger.Log(&run_.task, llInfo, "Stream mapping:");
  for (const auto& output : streams_) {
    if (output.source < 0) {
      logger.Log(&run_.task, llInfo, StringPrintf("  DVD stream 0x%x (when it appears) -> #%d.%d (copy)",
                                                  output.setup->sourceId, output.file, output.index));
      continue;
    }
    const auto& source = inputs_.Stream(output.source);
    std::string line = StringPrintf("  Stream #%d.%d -> #%d.%d (%s)", source.file, source.index, output.file,
                                    output.index, streamCodecName(output).c_str());
    if (output.sync != output.source) {
      const auto& sync = inputs_.Stream(output.sync);
      line += StringPrintf(" [sync #%d.%d (%s)]", sync.file, sync.index,
                           codecNameOf(sync.stream->codecpar->codec_id).c_str());
    }
    logger.Log(&run_.task, llInfo, line);
  }
}

void RunOutputs::FollowFile(int file) {
  for (auto& output : streams_) {
    if (output.source < 0) continue;
    const AVMediaType kind = inputs_.Stream(output.source).stream->codecpar->codec_type;
    const int source = inputs_.ChooseStream(kind, file);
    if (source < 0) continue;
    output.source = output.sync = source;
    auto& input = inputs_.Stream(source);
    input.used = true;
    input.decodingNeeded = output.encoder != nullptr;
  }
}
