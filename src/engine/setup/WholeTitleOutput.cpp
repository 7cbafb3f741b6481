// The output streams of a DVD title converted whole, and of a file whose
// every audio and subtitle stream is kept.
#include "dvd/DvdInput.h"
#include "engine/setup/EngineTask.h"
#include "media/MediaUtils.h"

namespace {

bool Holds(const AVOutputFormat* format, AVCodecID codec) {
  return media::avformat_query_codec(format, codec, FF_COMPLIANCE_NORMAL) == 1;
}

// The stream's codec: "copy" only where the container holds the source's
// codec; else sound is kept losslessly in FLAC where the container takes it
// (DVD LPCM, a phone's AMR into Matroska), or takes the container's own codec.
std::string CodecFor(const TCustomEngineTask::OutputFile& output, const AVStream* source, const std::string& codec) {
  if (codec != "copy" || !source) return codec;
  const AVOutputFormat* format = output.context->oformat;
  if (Holds(format, source->codecpar->codec_id)) return codec;
  return Holds(format, AV_CODEC_ID_FLAC) ? "flac" : std::string();
}

}  // namespace

const AVStream* TCustomEngineTask::StreamWithId(int id) const {
  AVFormatContext* input = inputs_.front().context;
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (input->streams[i]->id == id) return input->streams[i];
  return nullptr;
}

const DvdInput* TCustomEngineTask::WholeTitleInput() const {
  if (inputs_.empty() || !inputs_.front().dvd || !inputs_.front().dvd->AllStreams()) return nullptr;
  return inputs_.front().dvd.get();
}

// One output stream for each audio or subtitle stream of the title, the
// chosen one first and marked default, each with the disc's language. Sound
// takes the output's codec (or is copied where the container holds it);
// subpictures are always copied.
void TCustomEngineTask::AddWholeTitleStreams(OutputFile& output, StreamKind kind, const DvdInput& title) {
  auto& pending = options_.pending;
  const auto k = size_t(kind);
  const std::string codec = kind == StreamKind::Subtitle ? "copy" : pending.codecName[k];
  for (const DvdListedStream& listed : title.ListedStreams(MediaTypeOf(kind))) {
    pending.codecName[k] = kind == StreamKind::Audio ? CodecFor(output, StreamWithId(listed.demuxerId), codec) : codec;
    pending.language[k] = listed.language;
    AddOutputStream(output, kind);
    output.streams.back().sourceId = listed.demuxerId;
    if (listed.chosen) output.context->streams[output.context->nb_streams - 1]->disposition |= AV_DISPOSITION_DEFAULT;
  }
  pending.codecName[k].clear();
  pending.language[k].clear();
  // Matroska would otherwise mark the first subtitle default when none was
  // chosen, and players would show it; other muxers lack the option.
  media::av_opt_set(output.context, "default_mode", "infer_no_subs", AV_OPT_SEARCH_CHILDREN);
}

// One output stream for each audio or subtitle stream of the first input that
// is read, in the file's order, with its language and default mark. Sound the
// container cannot hold unchanged is encoded (CodecFor); such a subtitle
// stream is left out.
void TCustomEngineTask::AddEveryStream(OutputFile& output, StreamKind kind) {
  auto& pending = options_.pending;
  const auto k = size_t(kind);
  const std::string codec = kind == StreamKind::Subtitle ? "copy" : pending.codecName[k];
  AVFormatContext* input = inputs_.front().context;
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVStream* source = input->streams[i];
    if (source->codecpar->codec_type != MediaTypeOf(kind) || source->discard == AVDISCARD_ALL) continue;
    const bool sound = kind == StreamKind::Audio;
    if (!sound && !Holds(output.context->oformat, source->codecpar->codec_id)) continue;
    pending.codecName[k] = sound ? CodecFor(output, source, codec) : codec;
    AddOutputStream(output, kind);
    output.streams.back().sourceIndex = int(i);
    output.context->streams[output.context->nb_streams - 1]->disposition |=
        source->disposition & AV_DISPOSITION_DEFAULT;
  }
  pending.codecName[k].clear();
}
