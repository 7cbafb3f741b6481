// The output files before their first packet: metadata and chapters,
// bitstream filters, headers and the session description.
#include <algorithm>

#include "engine/run/Muxer.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

std::string joinFilters(const std::vector<std::string>& filters) {
  std::string chain;
  for (const auto& filter : filters) chain += (chain.empty() ? "" : ",") + filter;
  return chain;
}

}  // namespace

Muxer::Muxer(RunContext& run, RunOutputs& outputs) : run_(run), outputs_(outputs) {}

void Muxer::CopyMetadataAndChapters() {
  auto& task = run_.task;
  for (const auto& map : run_.settings.metadataMaps) {
    if (map.outputFile < 0 || map.outputFile >= task.OutputCount())
      throw EngineException(StringPrintf("Invalid output file index %d map_meta_data(%d,%d)", map.outputFile,
                                         map.outputFile, map.inputFile));
    if (map.inputFile < 0 || map.inputFile >= task.InputCount())
      throw EngineException(StringPrintf("Invalid input file index %d map_meta_data(%d,%d)", map.inputFile,
                                         map.outputFile, map.inputFile));
    media::av_dict_copy(&run_.outputFiles[size_t(map.outputFile)].context->metadata,
                        task.Input(map.inputFile)->metadata, 0);
  }
  for (auto& output : run_.outputFiles) {
    for (int f = 0; f < task.InputCount(); ++f) {
      const AVFormatContext* input = task.Input(f);
      for (unsigned c = 0; c < input->nb_chapters; ++c) {
        const AVChapter* from = input->chapters[c];
        const std::int64_t offset =
            media::av_rescale_q(run_.inputFiles[size_t(f)].tsOffset, kMicroseconds, from->time_base);
        const ChapterSpan span = ClippedChapter(from->start + offset, from->end + offset, from->time_base);
        if (span.end <= span.start) continue;
        auto* chapter = static_cast<AVChapter*>(media::av_mallocz(sizeof(AVChapter)));
        auto** grown = static_cast<AVChapter**>(
            media::av_realloc_array(output.context->chapters, output.context->nb_chapters + 1, sizeof(AVChapter*)));
        if (!chapter || !grown) {
          media::av_free(chapter);
          throw EngineException("av_realloc fail");
        }
        output.context->chapters = grown;
        chapter->id = std::int64_t(output.context->nb_chapters);
        chapter->time_base = from->time_base;
        chapter->start = span.start;
        chapter->end = span.end;
        media::av_dict_copy(&chapter->metadata, from->metadata, 0);
        grown[output.context->nb_chapters++] = chapter;
      }
    }
  }
}

// A chapter within what the output holds: from its start to the recording
// time; empty when it lies outside (a trimmed job).
Muxer::ChapterSpan Muxer::ClippedChapter(std::int64_t start, std::int64_t end, AVRational timeBase) const {
  const std::int64_t recording = run_.pending.recordingTime;
  const std::int64_t limit =
      recording == INT64_MAX ? INT64_MAX : media::av_rescale_q(recording, kMicroseconds, timeBase);
  return {std::max<std::int64_t>(start, 0), std::min(end, limit)};
}

void Muxer::InitBitstreamFilters() {
  for (auto& output : outputs_.All()) {
    const auto& filters = output.setup->bitstreamFilters;
    if (filters.empty()) continue;
    const std::string chain = joinFilters(filters);
    if (media::av_bsf_list_parse_str(chain.c_str(), &output.filters) < 0)
      throw EngineException(StringPrintf("Unknown bitstream filter %s", chain.c_str()));
    media::avcodec_parameters_copy(output.filters->par_in, output.stream->codecpar);
    output.filters->time_base_in = output.stream->time_base;
    if (media::av_bsf_init(output.filters) < 0)
      throw EngineException(StringPrintf("Unknown bitstream filter %s", chain.c_str()));
    media::avcodec_parameters_copy(output.stream->codecpar, output.filters->par_out);
  }
}

void Muxer::WriteHeaders() {
  const int count = run_.task.OutputCount();
  headerWritten_.assign(size_t(count), false);
  packetsMuxed_.assign(size_t(count), 0);
  for (int o = 0; o < count; ++o) {
    AVFormatContext* context = run_.outputFiles[size_t(o)].context;
    const int written = media::avformat_write_header(context, nullptr);
    if (written < 0) TMediaLogger::instance().Log(&run_.task, llError, MediaErrorText(context->url, written));
    run_.outputFiles[size_t(o)].CheckWrite(
        written, StringPrintf("Could not write header for output file #%d (incorrect codec parameters ?)", o));
    headerWritten_[size_t(o)] = true;
    bytes_.extra += context->pb ? media::avio_seek(context->pb, 0, SEEK_CUR) : 0;
  }
  LogSessionDescription();
}

void Muxer::LogSessionDescription() {
  std::vector<AVFormatContext*> contexts;
  for (const auto& output : run_.outputFiles) {
    if (std::string(output.context->oformat->name) != "rtp") return;
    contexts.push_back(output.context);
  }
  if (contexts.empty()) return;
  char sdp[2048];
  media::av_sdp_create(contexts.data(), int(contexts.size()), sdp, sizeof sdp);
  TMediaLogger::instance().Log(&run_.task, llInfo, std::string("SDP:\r\n") + sdp);
}
