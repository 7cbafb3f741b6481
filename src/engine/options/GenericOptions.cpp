#include "engine/options/GenericOptions.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/options/LegacyOptions.h"
#include "media/MediaUtils.h"

namespace {

constexpr int kFindFake = AV_OPT_SEARCH_FAKE_OBJ;

// The kinds a codec option can belong to, in lookup order, with their flag.
constexpr std::pair<AVMediaType, int> kCodecKinds[] = {
    {AVMEDIA_TYPE_VIDEO, AV_OPT_FLAG_VIDEO_PARAM},
    {AVMEDIA_TYPE_AUDIO, AV_OPT_FLAG_AUDIO_PARAM},
    {AVMEDIA_TYPE_SUBTITLE, AV_OPT_FLAG_SUBTITLE_PARAM},
};

int kindFlag(AVMediaType kind) {
  for (const auto& [k, flag] : kCodecKinds)
    if (k == kind) return flag;
  return 0;
}

const AVOption* findInClass(const AVClass* const* cls, const std::string& name, int flags, int search = 0) {
  return media::av_opt_find(const_cast<const AVClass**>(cls), name.c_str(), nullptr, flags, kFindFake | search);
}

const AVClass* codecClass() { return media::avcodec_get_class(); }
const AVClass* formatClass() { return media::avformat_get_class(); }
const AVClass* scalerClass() { return media::sws_get_class(); }

// Shared or private (any codec's) option of that kind.
bool codecKnows(const std::string& name, int flags) {
  const AVClass* cls = codecClass();
  return findInClass(&cls, name, flags, AV_OPT_SEARCH_CHILDREN) != nullptr;
}

bool setsOnCodec(const AVCodec* codec, const std::string& name, const std::string& value) {
  AVCodecContext* scratch = media::avcodec_alloc_context3(codec);
  if (!scratch) return false;
  const bool accepted = media::av_opt_set(scratch, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN) >= 0;
  media::avcodec_free_context(&scratch);
  return accepted;
}

// A text option takes anything, and a value named in the option's own list of
// constants is taken as well: checked first, so that codecs with a same-named
// option of another kind (svq1's "motion-est") do not log refusals.
bool plainlyAccepts(const AVClass* const* cls, const AVOption* option, const std::string& value) {
  return option->type == AV_OPT_TYPE_STRING ||
         (option->unit &&
          media::av_opt_find(const_cast<const AVClass**>(cls), value.c_str(), option->unit, 0, kFindFake));
}

// Whether some codec of the wanted direction has this private option and takes the value.
bool privateAccepts(const std::string& name, const std::string& value, int flags, bool encoders) {
  std::vector<const AVCodec*> others;
  void* iterator = nullptr;
  while (const AVCodec* codec = media::av_codec_iterate(&iterator)) {
    if (!codec->priv_class || (media::av_codec_is_encoder(codec) != 0) != encoders) continue;
    const AVOption* option = findInClass(&codec->priv_class, name, flags);
    if (!option) continue;
    if (plainlyAccepts(&codec->priv_class, option, value)) return true;
    others.push_back(codec);
  }
  return std::any_of(others.begin(), others.end(),
                     [&](const AVCodec* codec) { return setsOnCodec(codec, name, value); });
}

// Encoders' private options first: libx264's "profile" takes names that the
// shared option refuses.
bool codecAccepts(const std::string& name, const std::string& value, int flags) {
  if (privateAccepts(name, value, flags, true)) return true;
  const AVClass* cls = codecClass();
  if (findInClass(&cls, name, flags) && setsOnCodec(nullptr, name, value)) return true;
  return privateAccepts(name, value, flags, false);
}

bool muxerPrivateAccepts(const std::string& name, const std::string& value) {
  void* iterator = nullptr;
  while (const AVOutputFormat* muxer = media::av_muxer_iterate(&iterator)) {
    if (!muxer->priv_class || !findInClass(&muxer->priv_class, name, 0)) continue;
    AVFormatContext* scratch = nullptr;
    if (media::avformat_alloc_output_context2(&scratch, muxer, nullptr, nullptr) < 0) continue;
    const bool accepted = media::av_opt_set(scratch->priv_data, name.c_str(), value.c_str(), 0) >= 0;
    media::avformat_free_context(scratch);
    if (accepted) return true;
  }
  return false;
}

bool muxerPrivateKnows(const std::string& name) {
  void* iterator = nullptr;
  while (const AVOutputFormat* muxer = media::av_muxer_iterate(&iterator))
    if (muxer->priv_class && findInClass(&muxer->priv_class, name, 0)) return true;
  return false;
}

// Shared format options and the muxers' own ones (muxrate, preload ...).
bool formatKnows(const std::string& name) {
  const AVClass* cls = formatClass();
  return findInClass(&cls, name, 0) || muxerPrivateKnows(name);
}

bool formatAccepts(const std::string& name, const std::string& value) {
  const AVClass* cls = formatClass();
  if (findInClass(&cls, name, 0)) {
    AVFormatContext* scratch = media::avformat_alloc_context();
    const bool accepted = media::av_opt_set(scratch, name.c_str(), value.c_str(), 0) >= 0;
    media::avformat_free_context(scratch);
    if (accepted) return true;
  }
  return muxerPrivateAccepts(name, value);
}

bool scalerKnows(const std::string& name) {
  const AVClass* cls = scalerClass();
  return findInClass(&cls, name, 0) != nullptr;
}

// The scaler value after applying the new one on top of the stored one; flags
// come back as a number because the filter stage writes them as "%d".
bool resolveScalerValue(const std::string& name, const std::string& stored, const std::string& value,
                        std::string& resolved) {
  SwsContext* scratch = media::sws_alloc_context();
  if (!scratch) return false;
  if (!stored.empty()) media::av_opt_set(scratch, name.c_str(), stored.c_str(), 0);
  bool accepted = media::av_opt_set(scratch, name.c_str(), value.c_str(), 0) >= 0;
  resolved = value;
  const AVClass* cls = scalerClass();
  const AVOption* option = findInClass(&cls, name, 0);
  std::int64_t number = 0;
  if (accepted && option->type == AV_OPT_TYPE_FLAGS && media::av_opt_get_int(scratch, name.c_str(), 0, &number) >= 0)
    resolved = std::to_string(number);
  media::sws_freeContext(scratch);
  return accepted;
}

bool isRelativeFlags(const AVOption* option, const std::string& value) {
  return option && option->type == AV_OPT_TYPE_FLAGS && !value.empty() && (value[0] == '+' || value[0] == '-');
}

// Reported through the library's log, as the libraries' own refusals are.
void logInvalid(const std::string& name, const std::string& value) {
  media::av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value.c_str(), name.c_str());
}

}  // namespace

GenericOptions::GenericOptions() = default;
GenericOptions::~GenericOptions() = default;

GenericOptions::Result GenericOptions::Set(const std::string& name, const std::string& value) {
  Result result = Result::Stored;
  for (const auto& [translatedName, translatedValue] : TranslateLegacyOption(name, value)) {
    const Result one = SetTranslated(translatedName, translatedValue);
    if (one != Result::Stored && result == Result::Stored) result = one;
  }
  return result;
}

// The first codec kind that knows the name, else the format options, else the
// scaler options, else the rest of an "a", "v" or "s" name on that codec kind.
std::optional<GenericOptions::Location> GenericOptions::Locate(const std::string& name) {
  for (const auto& [kind, flag] : kCodecKinds)
    if (codecKnows(name, flag)) return Location{kind, Table::Codec, name, flag};
  if (formatKnows(name)) return Location{AVMEDIA_TYPE_UNKNOWN, Table::Format, name, 0};
  if (scalerKnows(name)) return Location{AVMEDIA_TYPE_UNKNOWN, Table::Scaler, name, 0};
  constexpr std::pair<char, AVMediaType> kPrefixes[] = {
      {'a', AVMEDIA_TYPE_AUDIO}, {'v', AVMEDIA_TYPE_VIDEO}, {'s', AVMEDIA_TYPE_SUBTITLE}};
  for (const auto& [prefix, kind] : kPrefixes)
    if (name.size() > 1 && name[0] == prefix && codecKnows(name.substr(1), 0))
      return Location{kind, Table::Codec, name.substr(1), 0};
  return std::nullopt;
}

GenericOptions::Result GenericOptions::SetTranslated(const std::string& name, const std::string& value) {
  const auto location = Locate(name);
  if (!location) return Result::UnknownName;
  const auto& [kind, table, optionName, flags] = *location;
  std::string stored = value;
  bool accepted = false;
  switch (table) {
    case Table::Codec: accepted = codecAccepts(optionName, value, flags); break;
    case Table::Format: accepted = formatAccepts(optionName, value); break;
    case Table::Scaler: {
      const Entry* previous = Find(kind, table, optionName);
      accepted = resolveScalerValue(optionName, previous ? previous->value : "", value, stored);
      break;
    }
  }
  if (!accepted) {
    logInvalid(name, value);
    return Result::InvalidValue;
  }
  Store(kind, table, optionName, stored);
  return Result::Stored;
}

void GenericOptions::Store(AVMediaType kind, Table table, const std::string& name, const std::string& value) {
  Entry* entry = Find(kind, table, name);
  if (!entry) {
    entries_.push_back({kind, table, name, value});
    return;
  }
  const AVClass* cls = table == Table::Codec ? codecClass() : formatClass();
  const AVOption* option = table == Table::Scaler ? nullptr : findInClass(&cls, name, 0, AV_OPT_SEARCH_CHILDREN);
  entry->value = isRelativeFlags(option, value) ? entry->value + value : value;
}

GenericOptions::Entry* GenericOptions::Find(AVMediaType kind, Table table, const std::string& name) {
  return const_cast<Entry*>(static_cast<const GenericOptions*>(this)->Find(kind, table, name));
}

const GenericOptions::Entry* GenericOptions::Find(AVMediaType kind, Table table, const std::string& name) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.kind == kind && entry.table == table && entry.name == name;
  });
  return found == entries_.end() ? nullptr : &*found;
}

std::string GenericOptions::Get(AVMediaType kind, const std::string& name) const {
  for (const Table table : {Table::Codec, Table::Format, Table::Scaler})
    if (const Entry* entry = Find(kind, table, name)) return entry->value;
  return "";
}

int GenericOptions::Strictness(AVMediaType kind) const {
  const Entry* entry = Find(kind, Table::Codec, "strict");
  if (!entry) return FF_COMPLIANCE_NORMAL;
  AVCodecContext* scratch = media::avcodec_alloc_context3(nullptr);
  media::av_opt_set(scratch, "strict", entry->value.c_str(), 0);
  const int strictness = scratch->strict_std_compliance;
  media::avcodec_free_context(&scratch);
  return strictness;
}

void GenericOptions::ApplyTo(AVCodecContext* codec, AVMediaType kind, bool encoding) const {
  const int flags = kindFlag(kind) | (encoding ? AV_OPT_FLAG_ENCODING_PARAM : AV_OPT_FLAG_DECODING_PARAM);
  for (const auto& entry : entries_) {
    if (entry.table != Table::Codec || entry.kind != kind) continue;
    // The codec's own option wins over the shared one of the same name.
    void* target = nullptr;
    if (media::av_opt_find2(codec, entry.name.c_str(), nullptr, flags, AV_OPT_SEARCH_CHILDREN, &target))
      media::av_opt_set(target, entry.name.c_str(), entry.value.c_str(), 0);
  }
  if (encoding && kind == AVMEDIA_TYPE_VIDEO) ApplyRateTolerance(codec);
}

// libx264 ignores the shared bit rate tolerance and takes its own ratio instead.
void GenericOptions::ApplyRateTolerance(AVCodecContext* codec) const {
  const Entry* tolerance = Find(AVMEDIA_TYPE_VIDEO, Table::Codec, "bt");
  if (!tolerance || !codec->codec || std::string(codec->codec->name) != "libx264" || codec->bit_rate <= 0) return;
  const Entry* params = Find(AVMEDIA_TYPE_VIDEO, Table::Codec, "x264-params");
  const std::string ratio = StringPrintf("ratetol=%g", double(codec->bit_rate_tolerance) / double(codec->bit_rate));
  const std::string value = params && !params->value.empty() ? params->value + ":" + ratio : ratio;
  media::av_opt_set(codec->priv_data, "x264-params", value.c_str(), 0);
}

void GenericOptions::ApplyTo(AVFormatContext* format, bool output) const {
  const int flags = output ? AV_OPT_FLAG_ENCODING_PARAM : AV_OPT_FLAG_DECODING_PARAM;
  for (const auto& entry : entries_) {
    if (entry.table != Table::Format) continue;
    void* target = nullptr;
    if (media::av_opt_find2(format, entry.name.c_str(), nullptr, flags, AV_OPT_SEARCH_CHILDREN, &target))
      media::av_opt_set(target, entry.name.c_str(), entry.value.c_str(), 0);
  }
}

void GenericOptions::ApplyTo(SwsContext* scaler) const {
  for (const auto& entry : entries_)
    if (entry.table == Table::Scaler) media::av_opt_set(scaler, entry.name.c_str(), entry.value.c_str(), 0);
}

void GenericOptions::Clear() { entries_.clear(); }
