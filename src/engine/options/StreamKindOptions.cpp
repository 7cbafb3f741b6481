// The options that come in one variant per kind of stream (video, audio,
// subtitle): disable, codec, tag, language, bitstream filters, new stream, preset.
#include "engine/options/OptionParsers.h"
#include "engine/options/OptionVocabulary.h"
#include "engine/options/Presets.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

struct KindNames {
  StreamKind kind;
  const char *disable, *codec, *tag, *language, *bitstreamFilter, *newStream, *preset;
  const char* tagKind;  // as the tag message names it
};
constexpr KindNames kKinds[] = {
    {StreamKind::Video, "vn", "vcodec", "vtag", "vlang", "vbsf", "newvideo", "vpre", "video"},
    {StreamKind::Audio, "an", "acodec", "atag", "alang", "absf", "newaudio", "apre", "audio"},
    {StreamKind::Subtitle, "sn", "scodec", "stag", "slang", "sbsf", "newsubtitle", "spre", "subtitle"},
};

// "name[=arguments]": the filter must exist; the run parses the arguments.
void addBitstreamFilter(const OptionCall& call, size_t kind) {
  const std::string name = call.value.substr(0, call.value.find('='));
  if (!media::av_bsf_get_by_name(name.c_str()))
    throw EngineException(StringPrintf("Unknown bitstream filter %s", name.c_str()));
  call.options.pending.bitstreamFilters[kind].push_back(call.value);
}

void addKind(OptionTable& table, const KindNames& names) {
  const auto k = size_t(names.kind);
  table[names.disable] = [k](const OptionCall& call) {
    call.options.pending.disabled[k] = option_parsers::Boolean(call.value);
  };
  table[names.codec] = [k](const OptionCall& call) { call.options.pending.codecName[k] = call.value; };
  table[names.tag] = [k, &names](const OptionCall& call) {
    call.options.pending.codecTag[k] = option_parsers::CodecTag(call.value, names.tagKind);
  };
  table[names.language] = [k](const OptionCall& call) { call.options.pending.language[k] = call.value; };
  table[names.bitstreamFilter] = [k](const OptionCall& call) { addBitstreamFilter(call, k); };
  table[names.newStream] = [&names](const OptionCall& call) { call.host.AddStreamToLastOutput(names.kind); };
  table[names.preset] = [&names](const OptionCall& call) { ApplyNamedPreset(call.options, names.kind, call.value); };
}

}  // namespace

void AddStreamKindOptions(OptionTable& table) {
  for (const auto& names : kKinds) addKind(table, names);
  table["fpre"] = [](const OptionCall& call) { ApplyPresetFile(call.options, call.value); };
}
