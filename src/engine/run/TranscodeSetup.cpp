// Setting up a run: input stream records, the output-to-input stream mapping,
// stream parameters, encoders, decoders, metadata, headers.
#include <fstream>
#include <sstream>

#include "dvd/DvdInput.h"
#include "engine/run/TranscodeRun.h"
#include "engine/setup/HookModules.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

std::string codecNameOf(AVCodecID id) { return media::avcodec_get_name(id); }

std::string streamCodecName(const OutputStreamState& output) {
  if (!output.encoder) return "copy";
  return output.encoder->codec ? output.encoder->codec->name : codecNameOf(output.encoder->codec_id);
}

void openUnderLibraryLock(AVCodecContext* codec, const AVCodec* with, int& result) {
  std::lock_guard lock(MediaLibraryLock());
  result = media::avcodec_open2(codec, with, nullptr);
}

// The decoder's thread count: the library's automatic count, except for
// MPEG-2 video, which decodes on a stage of its own beside the rest of the
// conversion: its slice threads only competed with that for the cores.
int decoderThreads(AVCodecID codec) { return codec == AV_CODEC_ID_MPEG2VIDEO ? 1 : 0; }

}  // namespace

void VideoConverter::Free() {
  graph.reset();
  media::sws_freeContext(scaler);
  scaler = nullptr;
  media::av_frame_free(&scaled);
  inWidth = inHeight = 0;
  inFormat = -1;
}

void AudioConverter::Free() {
  media::swr_free(&resampler);
  if (fifo) media::av_audio_fifo_free(fifo);
  fifo = nullptr;
  media::av_channel_layout_uninit(&inLayout);
  inRate = 0;
  inFormat = -1;
}

TranscodeRun::TranscodeRun(TCustomEngineTask& owner)
    : task(owner), settings(owner.options_.task), pending(owner.options_.pending) {
  packet = media::av_packet_alloc();
  encoded = media::av_packet_alloc();
  frame = media::av_frame_alloc();
  work = media::av_frame_alloc();
}

TranscodeRun::~TranscodeRun() {
  for (auto& file : inputFiles)
    for (auto& [input, picture] : file.delayed) media::av_frame_free(&picture);
  for (auto& output : outputStreams) {
    output.video.Free();
    output.audio.Free();
    media::av_bsf_free(&output.filters);
    if (output.passLog) std::fclose(output.passLog);
  }
  // The stages use the codecs until they are joined.
  for (auto& input : inputStreams) input.stage.reset();
  for (auto& output : outputStreams) output.stage.reset();
  for (auto& input : inputStreams) {
    if (!input.decoder) continue;
    std::lock_guard lock(MediaLibraryLock());
    media::avcodec_free_context(&input.decoder);
  }
  if (vstats) std::fclose(vstats);
  media::av_packet_free(&packet);
  media::av_packet_free(&encoded);
  media::av_frame_free(&frame);
  media::av_frame_free(&work);
}

void TranscodeRun::Setup() {
  BuildInputStreams();
  MapOutputStreams();
  for (auto& output : outputStreams) PrepareStream(output);
  OpenEncoders();
  OpenDecoders();
  CopyMetadataAndChapters();
  InitBitstreamFilters();
  WriteHeaders();
  LogMapping();
  started = lastReport = Clock::now();
  currentFile = 0;
}

void TranscodeRun::BuildInputStreams() {
  for (int f = 0; f < task.InputCount(); ++f) {
    AVFormatContext* context = task.Input(f);
    InputFileState file;
    file.firstStream = int(inputStreams.size());
    file.streamCount = int(context->nb_streams);
    const auto& opened = task.inputs_[size_t(f)];
    const int burnInStream = opened.burnInStream;
    // The chosen subpicture stream may still be missing: the pictures wait for it all the same.
    if (burnInStream >= 0 || (opened.dvd && opened.dvd->BurnsInSubtitle())) file.burnIn = std::make_unique<SubtitleBurnIn>();
    inputFiles.push_back(std::move(file));
    for (unsigned i = 0; i < context->nb_streams; ++i) {
      InputStreamState input;
      input.file = f;
      input.index = int(i);
      input.stream = context->streams[i];
      input.burnIn = input.used = input.decodingNeeded = int(i) == burnInStream;
      if (input.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
        const Deinterlacing deinterlacing = settings.deinterlace       ? Deinterlacing::Always
                                            : settings.autoDeinterlace ? Deinterlacing::Auto
                                                                       : Deinterlacing::Never;
        input.upright = UprightStepsOf(*input.stream, deinterlacing);
        input.upright.toneMapAfterFitting = !inputFiles.back().burnIn && !task.onFrameHook_ && task.hookModules_->Empty();
        input.uprightGraph = std::make_unique<PictureFilterGraph>();
        if (TelecineCheck::Needed(input.upright, NominalFrameRate(*input.stream)))
          input.telecineCheck = std::make_unique<TelecineCheck>();
      }
      inputStreams.push_back(std::move(input));
    }
  }
}

// The stream of the output's kind that the libraries rank best (most frames
// seen while probing), in the given input file or the first that has one.
int TranscodeRun::ChooseInputStream(AVMediaType type, int group) const {
  for (int f = 0; f < int(inputFiles.size()); ++f) {
    if (group >= 0 && f != group) continue;
    AVFormatContext* context = task.Input(f);
    const int burnIn = task.inputs_[size_t(f)].burnInStream;
    auto usable = [&](int i) { return context->streams[i]->discard != AVDISCARD_ALL && i != burnIn; };
    const int best = media::av_find_best_stream(context, type, -1, -1, nullptr, 0);
    if (best >= 0 && usable(best)) return inputFiles[size_t(f)].firstStream + best;
    for (int i = int(context->nb_streams) - 1; i >= 0; --i)
      if (context->streams[i]->codecpar->codec_type == type && usable(i)) return inputFiles[size_t(f)].firstStream + i;
  }
  return -1;
}

void TranscodeRun::MapOutputStreams() {
  for (int o = 0; o < task.OutputCount(); ++o) {
    auto& file = task.outputs_[size_t(o)];
    if (file.streams.empty()) throw EngineException(StringPrintf("Output file #%d does not contain any stream", o));
    for (int i = 0; i < int(file.streams.size()); ++i) {
      OutputStreamState output;
      output.file = o;
      output.index = i;
      output.stream = file.context->streams[i];
      output.setup = &file.streams[size_t(i)];
      output.encoder = output.setup->encoder;
      outputStreams.push_back(std::move(output));
    }
  }
  const auto& maps = settings.streamMaps;
  if (!maps.empty() && maps.size() != outputStreams.size())
    throw EngineException("Number of stream maps must match number of output streams");
  for (size_t n = 0; n < outputStreams.size(); ++n) {
    auto& output = outputStreams[n];
    const AVMediaType kind = MediaTypeOf(output.setup->kind);
    if (!maps.empty()) {
      const auto& map = maps[n];
      auto find = [&](int file, int stream) {
        if (file < 0 || file >= int(inputFiles.size()) || stream < 0 || stream >= inputFiles[size_t(file)].streamCount)
          return -1;
        return inputFiles[size_t(file)].firstStream + stream;
      };
      output.source = find(map.file, map.stream);
      if (output.source < 0) throw EngineException(StringPrintf("Could not find input stream #%d.%d", map.file, map.stream));
      output.sync = find(map.syncFile, map.syncStream);
      if (output.sync < 0)
        throw EngineException(StringPrintf("Could not find sync stream #%d.%d", map.syncFile, map.syncStream));
      const AVStream* source = inputStreams[size_t(output.source)].stream;
      if (source->codecpar->codec_type != kind)
        throw EngineException(StringPrintf("Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", map.file,
                                           map.stream, codecNameOf(source->codecpar->codec_id).c_str(), output.file,
                                           output.index, streamCodecName(output).c_str()));
    } else {
      output.source = output.sync = ChooseInputStream(kind, task.joining_ ? 0 : -1);
      if (output.source < 0)
        throw EngineException(StringPrintf("Could not find input stream matching output stream #%d.%d (%s)",
                                           output.file, output.index, streamCodecName(output).c_str()));
    }
    auto& input = inputStreams[size_t(output.source)];
    input.used = true;
    input.stream->discard = AVDISCARD_DEFAULT;
    if (output.encoder) input.decodingNeeded = true;
  }
}

void TranscodeRun::PrepareStream(OutputStreamState& output) {
  const auto& input = inputStreams[size_t(output.source)];
  const AVStream* source = input.stream;
  media::av_dict_copy(&output.stream->metadata, source->metadata, AV_DICT_DONT_OVERWRITE);
  const AVMediaType type = source->codecpar->codec_type;
  if (!output.encoder) {
    if (source->codecpar->extradata_size > (1 << 28)) throw EngineException("icodec.extradata_size is invalid (too large)");
    if (type == AVMEDIA_TYPE_VIDEO) {
      if (task.onFrameHook_)
        throw EngineException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
      if (!task.hookModules_->Empty())
        throw EngineException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
      if (task.onPreview_) throw EngineException("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
    }
    if (type == AVMEDIA_TYPE_AUDIO && settings.audioVolume != 256)
      throw EngineException("-acodec copy and -vol are incompatible (frames are not decoded)");
    media::avcodec_parameters_copy(output.stream->codecpar, source->codecpar);
    if (task.outputs_[size_t(output.file)].context->oformat->codec_tag) output.stream->codecpar->codec_tag = 0;
    output.stream->time_base = source->time_base;
    output.stream->avg_frame_rate = source->avg_frame_rate;
    output.stream->sample_aspect_ratio = source->sample_aspect_ratio;
    return;
  }
  switch (type) {
    case AVMEDIA_TYPE_VIDEO: PrepareVideoStream(output, input); break;
    case AVMEDIA_TYPE_AUDIO:
      // A cut-off stream the libraries could not measure; resampling it would fail obscurely.
      if (source->codecpar->sample_rate <= 0)
        throw EngineException(StringPrintf("%s: audio stream #%d has no sample rate", task.Input(input.file)->url,
                                           input.index));
      break;
    case AVMEDIA_TYPE_SUBTITLE: break;
    default: throw EngineException("invalid codec_type of output stream");
  }
  PreparePassLog(output);
}

void TranscodeRun::PrepareVideoStream(OutputStreamState& output, const InputStreamState& input) {
  const AVCodecParameters* source = input.stream->codecpar;
  if (source->format == AV_PIX_FMT_NONE)
    throw EngineException("Video pixel format is unknown, stream cannot be encoded");
  AVCodecContext* encoder = output.encoder;
  // The encoder receives the upright picture.
  int width = source->width, height = source->height;
  AVRational pixelAspect = source->sample_aspect_ratio;
  input.upright.Apply(width, height, pixelAspect);
  if (input.upright.toneMap) TagAsBt709(*encoder);
  if (encoder->width <= 0 || encoder->height <= 0) {
    encoder->width = width;
    encoder->height = height;
  }
  if (NeedsFilterGraph(output)) {
    // The graph decides the picture the encoder receives.
    BuildFilterGraph(output, width, height, input.upright.OutputFormat(source->format), pixelAspect, false);
    encoder->width = output.video.graph->OutputWidth();
    encoder->height = output.video.graph->OutputHeight();
    const AVRational sar = output.video.graph->OutputPixelAspect();
    if (sar.num && !encoder->sample_aspect_ratio.num) encoder->sample_aspect_ratio = sar;
  }
  output.stream->sample_aspect_ratio = encoder->sample_aspect_ratio;
}

void TranscodeRun::PreparePassLog(OutputStreamState& output) {
  if (settings.pass != 1 && settings.pass != 2) return;
  const std::string prefix = settings.passLogPrefix.empty() ? "ffmpeg2pass" : settings.passLogPrefix;
  const std::string name = (prefix + "-" + std::to_string(&output - outputStreams.data()) + ".log").substr(0, 1023);
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

void TranscodeRun::OpenEncoders() {
  for (auto& output : outputStreams) {
    AVCodecContext* encoder = output.encoder;
    if (!encoder) continue;
    const AVCodec* codec = encoder->codec ? encoder->codec : media::avcodec_find_encoder(encoder->codec_id);
    if (!codec)
      throw EngineException(StringPrintf("Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                                         int(encoder->codec_id), output.file, output.index,
                                         codecNameOf(encoder->codec_id).c_str()));
    int opened;
    openUnderLibraryLock(encoder, codec, opened);
    if (opened < 0)
      throw EngineException(StringPrintf(
          "Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect parameters such as "
          "bit_rate, rate, width or height. Please check error log message to find out more detail information.",
          output.file, output.index, codec->name));
    media::avcodec_parameters_from_context(output.stream->codecpar, encoder);
    output.stream->time_base = encoder->time_base;
    if (encoder->codec_type == AVMEDIA_TYPE_VIDEO) output.stream->avg_frame_rate = encoder->framerate;
    if (encoder->codec_type == AVMEDIA_TYPE_AUDIO) output.stage = std::make_unique<EncoderStage>(encoder, task);
  }
}

void TranscodeRun::OpenDecoders() {
  for (auto& input : inputStreams) {
    if (!input.decodingNeeded || input.decoder) continue;
    const AVCodecParameters* parameters = input.stream->codecpar;
    AVFormatContext* context = task.Input(input.file);
    const AVCodec* forced = parameters->codec_type == AVMEDIA_TYPE_VIDEO   ? context->video_codec
                            : parameters->codec_type == AVMEDIA_TYPE_AUDIO ? context->audio_codec
                                                                           : context->subtitle_codec;
    const AVCodec* codec = forced ? forced : media::avcodec_find_decoder(parameters->codec_id);
    const std::string name = codecNameOf(parameters->codec_id);
    if (!codec)
      throw EngineException(StringPrintf("Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                                         int(parameters->codec_id), input.file, input.index, name.c_str()));
    input.decoder = media::avcodec_alloc_context3(codec);
    media::avcodec_parameters_to_context(input.decoder, parameters);
    input.decoder->pkt_timebase = input.stream->time_base;
    input.decoder->thread_count = decoderThreads(parameters->codec_id);
    task.options_.generic.ApplyTo(input.decoder, parameters->codec_type, false);
    int opened;
    openUnderLibraryLock(input.decoder, codec, opened);
    if (opened < 0)
      throw EngineException(StringPrintf("Error while opening decoder for input stream #%d.%d (%s)", input.file,
                                         input.index, name.c_str()));
    const AVRational rate = input.stream->avg_frame_rate;
    input.pts = rate.num && rate.den ? -std::int64_t(parameters->video_delay * AV_TIME_BASE / av_q2d(rate)) : 0;
    input.nextPts = AV_NOPTS_VALUE;
    input.isStart = true;
    if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) input.stage = std::make_unique<DecoderStage>(input.decoder, task);
  }
}

void TranscodeRun::CopyMetadataAndChapters() {
  for (const auto& map : settings.metadataMaps) {
    if (map.outputFile < 0 || map.outputFile >= task.OutputCount())
      throw EngineException(StringPrintf("Invalid output file index %d map_meta_data(%d,%d)", map.outputFile,
                                         map.outputFile, map.inputFile));
    if (map.inputFile < 0 || map.inputFile >= task.InputCount())
      throw EngineException(StringPrintf("Invalid input file index %d map_meta_data(%d,%d)", map.inputFile,
                                         map.outputFile, map.inputFile));
    media::av_dict_copy(&task.outputs_[size_t(map.outputFile)].context->metadata,
                        task.Input(map.inputFile)->metadata, 0);
  }
  for (auto& output : task.outputs_) {
    for (int f = 0; f < task.InputCount(); ++f) {
      const AVFormatContext* input = task.Input(f);
      const AVRational microseconds{1, AV_TIME_BASE};
      for (unsigned c = 0; c < input->nb_chapters; ++c) {
        const AVChapter* from = input->chapters[c];
        auto* chapter = static_cast<AVChapter*>(media::av_mallocz(sizeof(AVChapter)));
        auto** grown = static_cast<AVChapter**>(
            media::av_realloc_array(output.context->chapters, output.context->nb_chapters + 1, sizeof(AVChapter*)));
        if (!chapter || !grown) {
          media::av_free(chapter);
          throw EngineException("av_realloc fail");
        }
        output.context->chapters = grown;
        const std::int64_t offset = media::av_rescale_q(task.inputs_[size_t(f)].tsOffset, microseconds, from->time_base);
        chapter->id = std::int64_t(output.context->nb_chapters);
        chapter->time_base = from->time_base;
        chapter->start = from->start + offset;
        chapter->end = from->end + offset;
        media::av_dict_copy(&chapter->metadata, from->metadata, 0);
        grown[output.context->nb_chapters++] = chapter;
      }
    }
  }
}

void TranscodeRun::WriteHeaders() {
  headerWritten.assign(size_t(task.OutputCount()), false);
  packetsMuxed.assign(size_t(task.OutputCount()), 0);
  for (int o = 0; o < task.OutputCount(); ++o) {
    AVFormatContext* context = task.outputs_[size_t(o)].context;
    const int written = media::avformat_write_header(context, nullptr);
    if (written < 0) TMediaLogger::instance().Log(&task, llError, MediaErrorText(context->url, written));
    task.outputs_[size_t(o)].CheckWrite(
        written, StringPrintf("Could not write header for output file #%d (incorrect codec parameters ?)", o));
    headerWritten[size_t(o)] = true;
    extraBytes += context->pb ? media::avio_seek(context->pb, 0, SEEK_CUR) : 0;
  }
  LogSessionDescription();
}

void TranscodeRun::LogSessionDescription() {
  std::vector<AVFormatContext*> contexts;
  for (const auto& output : task.outputs_) {
    if (std::string(output.context->oformat->name) != "rtp") return;
    contexts.push_back(output.context);
  }
  if (contexts.empty()) return;
  char sdp[2048];
  media::av_sdp_create(contexts.data(), int(contexts.size()), sdp, sizeof sdp);
  TMediaLogger::instance().Log(&task, llInfo, std::string("SDP:\r\n") + sdp);
}

void TranscodeRun::LogMapping() {
  auto& logger = TMediaLogger::instance();
  if (!logger.WillDeliver(llInfo)) return;
  logger.Log(&task, llInfo, "Stream mapping:");
  for (const auto& output : outputStreams) {
    const auto& source = inputStreams[size_t(output.source)];
    std::string line = StringPrintf("  Stream #%d.%d -> #%d.%d (%s)", source.file, source.index, output.file,
                                    output.index, streamCodecName(output).c_str());
    if (output.sync != output.source) {
      const auto& sync = inputStreams[size_t(output.sync)];
      line += StringPrintf(" [sync #%d.%d (%s)]", sync.file, sync.index,
                           codecNameOf(sync.stream->codecpar->codec_id).c_str());
    }
    logger.Log(&task, llInfo, line);
  }
}
