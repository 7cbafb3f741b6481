// Opening an output file: format, streams with their encoders configured from
// the pending settings, metadata, the file itself and the muxer settings.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "dvd/DvdInput.h"
#include "engine/options/CodecLookup.h"
#include "engine/setup/EngineTask.h"
#include "engine/setup/PartialOutput.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "media/UnicodeProtocol.h"
#include "picture/PixelFormats.h"

namespace {

constexpr double kMaxFrameRate = 240;

AVCodecID defaultCodec(const AVOutputFormat* format, StreamKind kind) {
  switch (kind) {
    case StreamKind::Video: return format->video_codec;
    case StreamKind::Audio: return format->audio_codec;
    case StreamKind::Subtitle: return format->subtitle_codec;
  }
  return AV_CODEC_ID_NONE;
}

bool inputsContain(const std::vector<TCustomEngineTask::InputFile>& inputs, bool firstOnly, AVMediaType type) {
  for (size_t f = 0; f < inputs.size() && (!firstOnly || f == 0); ++f)
    for (unsigned i = 0; i < inputs[f].context->nb_streams; ++i)
      if (inputs[f].context->streams[i]->codecpar->codec_type == type && int(i) != inputs[f].burnInStream &&
          inputs[f].context->streams[i]->discard != AVDISCARD_ALL)
        return true;
  return false;
}

// The sound the outputs take is 5.1 AC-3: the first input's best audio stream,
// or its last one still read when the best is not (as the run chooses).
bool surroundSound(const std::vector<TCustomEngineTask::InputFile>& inputs) {
  if (inputs.empty()) return false;
  AVFormatContext* context = inputs.front().context;
  const auto read = [&](int i) {
    return context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO &&
           context->streams[i]->discard != AVDISCARD_ALL;
  };
  int chosen = media::av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (chosen < 0 || !read(chosen)) {
    chosen = int(context->nb_streams) - 1;
    while (chosen >= 0 && !read(chosen)) --chosen;
  }
  if (chosen < 0) return false;
  const AVCodecParameters* sound = context->streams[chosen]->codecpar;
  return sound->codec_id == AV_CODEC_ID_AC3 && sound->ch_layout.nb_channels == 6;
}

template <typename T>
bool listContains(const T* list, T terminator, T value) {
  for (; list && *list != terminator; ++list)
    if (*list == value) return true;
  return false;
}

// A link names the file it points to: that file is the one replaced.
std::string ResolvedPath(const std::string& path) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_symlink(path, error)) return path;
  const auto target = std::filesystem::weakly_canonical(path, error);
  return error ? path : target.string();
}

// The muxer's own reopening of its file (MP4's index moved to the front reads
// back what it wrote) goes to the partial file the output is written under.
int OpenWrittenFile(AVFormatContext* context, AVIOContext** io, const char* url, int flags, AVDictionary** options) {
  std::string name = url;
  if (context->url && name == context->url) {
    const std::string path = ResolvedPath(unicode_protocol::LocalPath(name));
    if (!path.empty() && partial_output::UsesPartialFile(path)) name = partial_output::PartialPathOf(path);
  }
  return media::avio_open2(io, unicode_protocol::NameForLibrary(name).c_str(), flags, &context->interrupt_callback,
                           options);
}

int closestSampleRate(const int* rates, int wanted) {
  int best = rates[0];
  for (; *rates; ++rates)
    if (std::abs(*rates - wanted) < std::abs(best - wanted)) best = *rates;
  return best;
}

}  // namespace

void TCustomEngineTask::OpenOutputOrThrow(const std::string& fileName, bool join) {
  if (joining_) throw EngineException("Cannot join more than one output file.");
  if (int(outputs_.size()) >= kMaxFiles) throw EngineException(StringPrintf("Too many output files (%d)", kMaxFiles));
  auto& pending = options_.pending;
  const AVOutputFormat* format = nullptr;
  if (!pending.formatName.empty()) {
    format = media::av_guess_format(pending.formatName.c_str(), nullptr, nullptr);
    if (!format)
      throw EngineException(StringPrintf("Requested output format '%s' is not a suitable output format",
                                         pending.formatName.c_str()));
    pending.formatName.clear();
  } else {
    format = media::av_guess_format(nullptr, fileName.c_str(), nullptr);
    if (!format)
      throw EngineException(StringPrintf("Unable to find a suitable output format for '%s'", fileName.c_str()));
  }
  OutputFile output;
  if (media::avformat_alloc_output_context2(&output.context, format, nullptr, fileName.substr(0, 1023).c_str()) < 0 ||
      !output.context)
    throw EngineException("avformat_alloc_context failed");
  std::error_code ignored;
  try {
    CreateOutputStreams(output, join);
    FinishOutputContext(output, fileName, join);
  } catch (...) {
    for (auto& stream : output.streams) media::avcodec_free_context(&stream.encoder);
    if (output.context->pb) media::avio_closep(&output.context->pb);
    if (!output.partialPath.empty()) std::filesystem::remove(output.partialPath, ignored);
    media::avformat_free_context(output.context);
    throw;
  }
  outputs_.push_back(output);
}

void TCustomEngineTask::CreateOutputStreams(OutputFile& output, bool join) {
  auto& pending = options_.pending;
  const AVOutputFormat* format = output.context->oformat;
  const DvdInput* wholeTitle = WholeTitleInput();
  for (StreamKind kind : {StreamKind::Video, StreamKind::Audio, StreamKind::Subtitle}) {
    const auto k = size_t(kind);
    const bool whole = wholeTitle && kind != StreamKind::Video;
    const bool every = pending.everyStream && !wholeTitle && !inputs_.empty() && kind != StreamKind::Video;
    bool wanted = defaultCodec(format, kind) != AV_CODEC_ID_NONE || !pending.codecName[k].empty();
    if (!inputs_.empty() && !whole) wanted = wanted && inputsContain(inputs_, join, MediaTypeOf(kind));
    if (pending.disabled[k]) wanted = false;
    if (!wanted) continue;
    try {
      if (whole) AddWholeTitleStreams(output, kind, *wholeTitle);
      else if (every) AddEveryStream(output, kind);
      else AddOutputStream(output, kind);
      if (kind == StreamKind::Audio && !whole && pending.keepSurround && surroundSound(inputs_)) {
        pending.codecName[k] = "copy";
        AddOutputStream(output, kind);
      }
    } catch (const EngineException& e) {
      static const char* const names[] = {"new_video_stream fail: %s", "new_audio_stream fail: %s",
                                          "new_subtitle_stream fail: %s"};
      throw EngineException(StringPrintf(names[k], e.what()));
    }
  }
  pending.disabled = {};
  pending.keepSurround = false;
  pending.everyStream = false;
}

void TCustomEngineTask::AddOutputStream(OutputFile& output, StreamKind kind) {
  auto& pending = options_.pending;
  const auto k = size_t(kind);
  AVFormatContext* context = output.context;
  AVStream* stream = media::avformat_new_stream(context, nullptr);
  if (!stream) throw EngineException("Could not alloc stream");
  OutputStreamSetup setup;
  setup.kind = kind;
  setup.copy = pending.codecName[k] == "copy";
  const AVMediaType type = MediaTypeOf(kind);
  const AVCodec* codec = nullptr;
  if (!setup.copy) {
    if (!pending.codecName[k].empty()) {
      codec = FindCodecByName(pending.codecName[k], type, true, FF_COMPLIANCE_NORMAL);
    } else {
      const AVCodecID id = kind == StreamKind::Video
                               ? media::av_guess_codec(context->oformat, nullptr, context->url, nullptr, type)
                               : defaultCodec(context->oformat, kind);
      codec = media::avcodec_find_encoder(id);
      if (!codec) setup.missingCodecId = id;
    }
    setup.encoder = media::avcodec_alloc_context3(codec);
    setup.encoder->codec_type = type;
    if (codec) setup.encoder->codec_id = codec->id;
    if (kind == StreamKind::Video) ConfigureVideoEncoder(setup.encoder, codec, context->oformat);
    if (kind == StreamKind::Audio) ConfigureAudioEncoder(setup.encoder, codec);
    if (kind == StreamKind::Subtitle) setup.encoder->time_base = {1, 1000};
    if (context->oformat->flags & AVFMT_GLOBALHEADER) setup.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    setup.encoder->codec_tag = pending.codecTag[k];
    options_.generic.ApplyTo(setup.encoder, type, true);
  }
  setup.bitstreamFilters = std::move(pending.bitstreamFilters[k]);
  pending.bitstreamFilters[k].clear();
  if (kind == StreamKind::Video) {
    setup.videoFilters = pending.videoFilters;
    setup.cropTop = pending.cropTop;
    setup.cropBottom = pending.cropBottom;
    setup.cropLeft = pending.cropLeft;
    setup.cropRight = pending.cropRight;
  }
  if (!pending.language[k].empty()) media::av_dict_set(&stream->metadata, "language", pending.language[k].c_str(), 0);
  pending.language[k].clear();
  const auto id = pending.streamIds.find(int(stream->index));
  if (id != pending.streamIds.end()) stream->id = id->second;
  pending.codecName[k].clear();
  output.streams.push_back(std::move(setup));
}

void TCustomEngineTask::ConfigureVideoEncoder(AVCodecContext* encoder, const AVCodec* codec, const AVOutputFormat*) {
  const auto& pending = options_.pending;
  const auto& task = options_.task;
  encoder->width = pending.frameWidth;
  encoder->height = pending.frameHeight;
  AVRational rate = pending.frameRate.num > 0 && pending.frameRate.den > 0 ? pending.frameRate : AVRational{25, 1};
  // A container clock taken for a frame rate (cover pictures report 90000) is
  // no rate an encoder can use.
  if (av_q2d(rate) > kMaxFrameRate) rate = {25, 1};
  // Several encoders store the time base in 16 bits.
  media::av_reduce(&rate.num, &rate.den, rate.num, rate.den, 65535);
  if (codec && codec->supported_framerates && !task.forceFps)
    rate = codec->supported_framerates[media::av_find_nearest_q_idx(rate, codec->supported_framerates)];
  encoder->framerate = rate;
  encoder->time_base = av_inv_q(rate);
  if (pending.aspectRatio > 0 && encoder->width > 0 && encoder->height > 0)
    encoder->sample_aspect_ratio = media::av_d2q(double(pending.aspectRatio) * encoder->height / encoder->width, 255);
  encoder->pix_fmt =
      pending.pixelFormatFromSource ? DeliveryPixelFormat(pending.pixelFormat, codec) : pending.pixelFormat;
  if (codec && codec->pix_fmts && !listContains(codec->pix_fmts, AV_PIX_FMT_NONE, encoder->pix_fmt)) {
    const bool jpegLike = codec->id == AV_CODEC_ID_MJPEG || codec->id == AV_CODEC_ID_LJPEG;
    const bool keep = jpegLike && (encoder->pix_fmt == AV_PIX_FMT_YUV420P || encoder->pix_fmt == AV_PIX_FMT_YUV422P);
    if (!keep) encoder->pix_fmt = codec->pix_fmts[0];
    if (keep) encoder->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
  }
  if (encoder->pix_fmt == AV_PIX_FMT_NONE) encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  // DV takes 4:2:0 only for 576-line pictures; 480-line DV is 4:1:1.
  if (codec && codec->id == AV_CODEC_ID_DVVIDEO && encoder->height == 480 && encoder->pix_fmt == AV_PIX_FMT_YUV420P)
    encoder->pix_fmt = AV_PIX_FMT_YUV411P;
  if (task.intraOnly) encoder->gop_size = 0;
  if (task.qscale > 0) {
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = int(FF_QP2LAMBDA * task.qscale);
  }
  if (task.psnr) encoder->flags |= AV_CODEC_FLAG_PSNR;
  if (task.pass == 1) encoder->flags |= AV_CODEC_FLAG_PASS1;
  if (task.pass == 2) encoder->flags |= AV_CODEC_FLAG_PASS2;
  encoder->intra_dc_precision = pending.intraDcPrecision - 8;
  if (pending.topFieldFirst >= 0) encoder->field_order = pending.topFieldFirst ? AV_FIELD_TT : AV_FIELD_BB;
  encoder->thread_count = 0;  // the library's automatic count
  auto copyMatrix = [](const std::vector<std::uint16_t>& source, std::uint16_t*& target) {
    if (source.size() != 64) return;
    target = static_cast<std::uint16_t*>(media::av_malloc(64 * sizeof(std::uint16_t)));
    std::copy(source.begin(), source.end(), target);
  };
  copyMatrix(pending.intraMatrix, encoder->intra_matrix);
  copyMatrix(pending.interMatrix, encoder->inter_matrix);
}

void TCustomEngineTask::ConfigureAudioEncoder(AVCodecContext* encoder, const AVCodec* codec) {
  const auto& pending = options_.pending;
  encoder->sample_rate = pending.sampleRate > 0 ? pending.sampleRate : 44100;
  if (codec && codec->supported_samplerates && !listContains(codec->supported_samplerates, 0, encoder->sample_rate)) {
    encoder->sample_rate = closestSampleRate(codec->supported_samplerates, encoder->sample_rate);
    TMediaLogger::instance().LogFmt(this, llWarning, "Requested sampling rate unsupported using closest supported (%d)",
                                    encoder->sample_rate);
  }
  int channels = pending.channels > 0 ? pending.channels : 2;
  // An encoder that cannot take the channel count gets the nearest layout it offers.
  if (codec && codec->ch_layouts) {
    int best = codec->ch_layouts[0].nb_channels;
    for (const AVChannelLayout* l = codec->ch_layouts; l->nb_channels; ++l)
      if (std::abs(l->nb_channels - channels) < std::abs(best - channels)) best = l->nb_channels;
    channels = best;
  }
  media::av_channel_layout_default(&encoder->ch_layout, channels);
  encoder->sample_fmt = pending.sampleFormat;
  if (codec && codec->sample_fmts && !listContains(codec->sample_fmts, AV_SAMPLE_FMT_NONE, encoder->sample_fmt))
    encoder->sample_fmt = codec->sample_fmts[0];
  if (encoder->sample_fmt == AV_SAMPLE_FMT_NONE) encoder->sample_fmt = AV_SAMPLE_FMT_S16;
  encoder->time_base = {1, encoder->sample_rate};
  if (pending.audioQuality > -99999) {
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = int(FF_QP2LAMBDA * pending.audioQuality);
  }
  encoder->thread_count = 0;
}

void TCustomEngineTask::FinishOutputContext(OutputFile& output, const std::string& fileName, bool join) {
  auto& pending = options_.pending;
  auto& task = options_.task;
  AVFormatContext* context = output.context;
  if (pending.recordingTimestamp)
    media::av_dict_set(&context->metadata, "creation_time", EpochTimeText(pending.recordingTimestamp, false, "%Y-%m-%dT%H:%M:%S.000000Z").c_str(), 0);
  for (auto entry = pending.metadata.rbegin(); entry != pending.metadata.rend(); ++entry)
    media::av_dict_set(&context->metadata, entry->first.c_str(), entry->second.c_str(), 0);
  pending.metadata.clear();
  pending.recordingTimestamp = 0;

  if ((context->oformat->flags & AVFMT_NEEDNUMBER) && !media::av_filename_number_test(fileName.c_str()))
    throw EngineException(fileName + ": Number syntax expected in filename");
  output.name = fileName;
  if (!(context->oformat->flags & AVFMT_NOFILE)) OpenOutputTarget(output, fileName);
  context->max_delay = int(task.muxMaxDelay * AV_TIME_BASE);
  media::av_opt_set_int(context, "preload", std::int64_t(task.muxPreload * AV_TIME_BASE), AV_OPT_SEARCH_CHILDREN);
  if (task.loopOutput >= 0) media::av_opt_set_int(context, "loop", task.loopOutput, AV_OPT_SEARCH_CHILDREN);
  context->flags |= AVFMT_FLAG_NONBLOCK;
  options_.generic.ApplyTo(context, true);
  pending.streamIds.clear();
  output.startTime = pending.startTime;
  pending.startTime = 0;

  if (join && inputs_.size() > 1) {
    joining_ = true;
    std::int64_t sum = 0;
    for (const auto& input : inputs_) sum += std::max<std::int64_t>(0, input.context->duration == AV_NOPTS_VALUE ? 0 : input.context->duration);
    task.expectedDuration = sum ? sum : -1;
    output.groupCount = int(inputs_.size());
  }
}

// Opens the file the muxer writes. A source of the task is never written over.
// A local file is written under its partial name and published when complete
// (PublishOutputs); a new file never replaces one that appears meanwhile.
void TCustomEngineTask::OpenOutputTarget(OutputFile& output, const std::string& fileName) {
  const std::string path = ResolvedPath(unicode_protocol::LocalPath(fileName));
  for (const auto& input : inputs_)
    if (input.source && !path.empty() && input.source->IsFile(path))
      throw EngineException("Cannot write " + fileName + ": it is the source " + input.source->path +
                            " of this conversion");
  std::string target = fileName;
  if (!path.empty() && partial_output::UsesPartialFile(path)) {
    std::error_code error;
    output.finalPath = path;
    output.partialPath = partial_output::PartialPathOf(path);
    output.replace = std::filesystem::exists(path, error);
    target = output.partialPath;
    output.context->io_open = OpenWrittenFile;
  }
  const int opened = media::avio_open(&output.context->pb, unicode_protocol::NameForLibrary(target).c_str(),
                                      AVIO_FLAG_WRITE);
  if (opened < 0) {
    output.partialPath.clear();  // not created: nothing to remove
    throw EngineException(MediaErrorText(fileName, opened));
  }
}
