// The output streams of a DVD title converted whole.
#include "dvd/DvdInput.h"
#include "engine/setup/EngineTask.h"
#include "media/MediaUtils.h"

const DvdInput* TCustomEngineTask::WholeTitleInput() const {
  if (inputs_.empty() || !inputs_.front().dvd || !inputs_.front().dvd->AllStreams()) return nullptr;
  return inputs_.front().dvd.get();
}

// One output stream for each audio or subtitle stream of the title, the
// chosen one first and marked default, each with the disc's language. Sound
// takes the output's codec (or is copied); subpictures are always copied.
void TCustomEngineTask::AddWholeTitleStreams(OutputFile& output, StreamKind kind, const DvdInput& title) {
  auto& pending = options_.pending;
  const auto k = size_t(kind);
  const std::string codec = kind == StreamKind::Subtitle ? "copy" : pending.codecName[k];
  for (const DvdListedStream& listed : title.ListedStreams(MediaTypeOf(kind))) {
    pending.codecName[k] = codec;
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
