// The input records: building them, choosing streams for the outputs, opening
// the decoders, and a subpicture stream that turns up while reading.
#include "engine/run/RunInputs.h"

#include "dvd/DvdInput.h"
#include "engine/run/CodecOpening.h"
#include "engine/setup/HookModules.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

// The decoder's thread count: the library's automatic count, except for
// MPEG-2 video, which decodes on a stage of its own beside the rest of the
// conversion: its slice threads only competed with that for the cores.
int decoderThreads(AVCodecID codec) { return codec == AV_CODEC_ID_MPEG2VIDEO ? 1 : 0; }

}  // namespace

RunInputs::RunInputs(RunContext& run) : run_(run) {}

RunInputs::~RunInputs() {
  for (auto& file : files_)
    for (auto& [input, picture] : file.delayed) media::av_frame_free(&picture);
  // The stages use the codecs until they are joined.
  for (auto& input : streams_) input.stage.reset();
  for (auto& input : streams_) {
    if (!input.decoder) continue;
    std::lock_guard lock(MediaLibraryLock());
    media::avcodec_free_context(&input.decoder);
  }
}

void RunInputs::Build() {
  for (int f = 0; f < run_.task.InputCount(); ++f) {
    AVFormatContext* context = run_.task.Input(f);
    InputFileState file;
    file.firstStream = int(streams_.size());
    file.streamCount = int(context->nb_streams);
    const auto& opened = run_.inputFiles[size_t(f)];
    const int burnInStream = opened.burnInStream;
    // The chosen subpicture stream may still be missing: the pictures wait for it all the same.
    if (burnInStream >= 0 || (opened.dvd && opened.dvd->BurnsInSubtitle())) file.burnIn = std::make_unique<SubtitleBurnIn>();
    files_.push_back(std::move(file));
    for (unsigned i = 0; i < context->nb_streams; ++i) {
      InputStreamState input;
      input.file = f;
      input.index = int(i);
      input.stream = context->streams[i];
      input.burnIn = input.used = input.decodingNeeded = int(i) == burnInStream;
      if (input.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
        const Deinterlacing deinterlacing = run_.settings.deinterlace       ? Deinterlacing::Always
                                            : run_.settings.autoDeinterlace ? Deinterlacing::Auto
                                                                            : Deinterlacing::Never;
        input.upright = UprightStepsOf(*input.stream, deinterlacing);
        input.upright.toneMapAfterFitting = !files_.back().burnIn && !run_.onFrameHook && run_.hookModules.Empty();
        input.uprightGraph = std::make_unique<PictureFilterGraph>();
        if (TelecineCheck::Needed(input.upright, NominalFrameRate(*input.stream)))
          input.telecineCheck = std::make_unique<TelecineCheck>();
      }
      streams_.push_back(std::move(input));
    }
  }
}

int RunInputs::ChooseStream(AVMediaType type, int group) const {
  for (int f = 0; f < int(files_.size()); ++f) {
    if (group >= 0 && f != group) continue;
    AVFormatContext* context = run_.task.Input(f);
    const int burnIn = run_.inputFiles[size_t(f)].burnInStream;
    auto usable = [&](int i) { return context->streams[i]->discard != AVDISCARD_ALL && i != burnIn; };
    const int best = media::av_find_best_stream(context, type, -1, -1, nullptr, 0);
    if (best >= 0 && usable(best)) return files_[size_t(f)].firstStream + best;
    for (int i = int(context->nb_streams) - 1; i >= 0; --i)
      if (context->streams[i]->codecpar->codec_type == type && usable(i)) return files_[size_t(f)].firstStream + i;
  }
  return -1;
}

void RunInputs::OpenDecoders() {
  for (auto& input : streams_) {
    if (!input.decodingNeeded || input.decoder) continue;
    const AVCodecParameters* parameters = input.stream->codecpar;
    AVFormatContext* context = run_.task.Input(input.file);
    const AVCodec* forced = parameters->codec_type == AVMEDIA_TYPE_VIDEO   ? context->video_codec
                            : parameters->codec_type == AVMEDIA_TYPE_AUDIO ? context->audio_codec
                                                                           : context->subtitle_codec;
    const AVCodec* codec = forced ? forced : media::avcodec_find_decoder(parameters->codec_id);
    const std::string name = media::avcodec_get_name(parameters->codec_id);
    if (!codec)
      throw EngineException(StringPrintf("Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                                         int(parameters->codec_id), input.file, input.index, name.c_str()));
    input.decoder = media::avcodec_alloc_context3(codec);
    media::avcodec_parameters_to_context(input.decoder, parameters);
    input.decoder->pkt_timebase = input.stream->time_base;
    input.decoder->thread_count = decoderThreads(parameters->codec_id);
    run_.generic.ApplyTo(input.decoder, parameters->codec_type, false);
    if (OpenCodecLocked(input.decoder, codec) < 0)
      throw EngineException(StringPrintf("Error while opening decoder for input stream #%d.%d (%s)", input.file,
                                         input.index, name.c_str()));
    const AVRational rate = input.stream->avg_frame_rate;
    input.pts = rate.num && rate.den ? -std::int64_t(parameters->video_delay * AV_TIME_BASE / av_q2d(rate)) : 0;
    input.nextPts = AV_NOPTS_VALUE;
    input.isStart = true;
    if (parameters->codec_type == AVMEDIA_TYPE_VIDEO)
      input.stage = std::make_unique<DecoderStage>(input.decoder, run_.task);
  }
}

InputStreamState* RunInputs::PacketStream(int file, int index) {
  const auto& state = files_[size_t(file)];
  if (index < state.streamCount) return &streams_[size_t(state.firstStream + index)];
  for (const int late : state.lateStreams)
    if (streams_[size_t(late)].index == index) return &streams_[size_t(late)];
  return TakeLateBurnIn(file, index);
}

int RunInputs::AddLateStream(int file, int index) {
  InputStreamState late;
  late.file = file;
  late.index = index;
  late.stream = run_.inputFiles[size_t(file)].context->streams[index];
  late.used = true;
  streams_.push_back(std::move(late));
  files_[size_t(file)].lateStreams.push_back(int(streams_.size()) - 1);
  return int(streams_.size()) - 1;
}

int RunInputs::FindById(AVMediaType type, int id) const {
  for (size_t i = 0; i < streams_.size(); ++i)
    if (streams_[i].stream->codecpar->codec_type == type && streams_[i].stream->id == id) return int(i);
  return -1;
}

// A DVD subpicture stream first seen while reading (its first subtitle comes
// late in the title): when it is the chosen one, it gets a record and a
// decoder and feeds the burn-in; it is no output's source.
InputStreamState* RunInputs::TakeLateBurnIn(int file, int index) {
  auto& state = files_[size_t(file)];
  auto& opened = run_.inputFiles[size_t(file)];
  if (!state.burnIn || !opened.dvd || !opened.dvd->TakeLateSubtitle(opened.context, index)) return nullptr;
  opened.burnInStream = index;
  InputStreamState& late = streams_[size_t(AddLateStream(file, index))];
  late.burnIn = late.decodingNeeded = true;
  OpenDecoders();
  if (run_.settings.verbosity > 0)
    TMediaLogger::instance().LogFmt(&run_.task, llInfo, "Subtitle stream #%d.%d appeared, burned into the picture",
                                    file, index);
  return &streams_.back();
}

bool RunInputs::AnyParked() const {
  bool parked = false;
  for (const auto& file : files_) parked = parked || file.noPacketNow;
  return parked;
}

void RunInputs::Unpark() {
  for (auto& file : files_) file.noPacketNow = false;
}
