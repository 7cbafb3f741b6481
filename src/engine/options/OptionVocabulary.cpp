// The engine's own options: flags and numbers of the task and of the next
// file, times, maps, metadata and the options that act at once.
#include "engine/options/OptionVocabulary.h"

#include <ctime>
#include <filesystem>

#include "engine/options/OptionParsers.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

using namespace option_parsers;

// Accepted for compatibility; they meant something only on a command line.
constexpr const char* kIgnored[] = {"L",         "h",       "version", "formats", "codecs",   "bsfs",
                                    "protocols", "filters", "i",       "y",       "benchmark"};

constexpr std::pair<const char*, bool TaskSettings::*> kTaskFlags[] = {
    {"dump", &TaskSettings::dumpPackets},   {"hex", &TaskSettings::hexDump},
    {"re", &TaskSettings::rateEmulation},   {"loop_input", &TaskSettings::loopInput},
    {"shortest", &TaskSettings::shortest},  {"intra", &TaskSettings::intraOnly},
    {"sameq", &TaskSettings::sameQuality},  {"deinterlace", &TaskSettings::deinterlace},
    {"autodeinterlace", &TaskSettings::autoDeinterlace},
    {"psnr", &TaskSettings::psnr},          {"qphist", &TaskSettings::qpHistogram},
    {"force_fps", &TaskSettings::forceFps}, {"isync", &TaskSettings::inputSync},
};
// Set whatever the value says.
constexpr std::pair<const char*, bool TaskSettings::*> kTaskSwitches[] = {{"copyts", &TaskSettings::copyTimestamps},
                                                                          {"xerror", &TaskSettings::exitOnError}};
constexpr std::pair<const char*, int TaskSettings::*> kTaskIntegers[] = {
    {"loop_output", &TaskSettings::loopOutput}, {"v", &TaskSettings::verbosity},
    {"vsync", &TaskSettings::videoSyncMethod},  {"async", &TaskSettings::audioSyncMethod},
    {"vglobal", &TaskSettings::globalHeader},   {"copyinkf", &TaskSettings::copyInitialNonKeyframes},
    {"vdt", &TaskSettings::videoDiscard},       {"me_threshold", &TaskSettings::meThreshold},
};
// A negative value would reach the resampler as a negative gain.
constexpr std::pair<const char*, int TaskSettings::*> kTaskNonNegatives[] = {{"vol", &TaskSettings::audioVolume}};
constexpr std::pair<const char*, double TaskSettings::*> kTaskSeconds[] = {
    {"adrift_threshold", &TaskSettings::audioDriftThreshold},
    {"dts_delta_threshold", &TaskSettings::dtsDeltaThreshold},
    {"muxdelay", &TaskSettings::muxMaxDelay},
    {"muxpreload", &TaskSettings::muxPreload},
};
constexpr std::pair<const char*, std::string TaskSettings::*> kTaskTexts[] = {
    {"passlogfile", &TaskSettings::passLogPrefix}, {"vstats_file", &TaskSettings::vstatsFile}};
constexpr std::pair<const char*, int> kFrameLimits[] = {{"vframes", 0}, {"aframes", 1}, {"dframes", 2}};

constexpr std::pair<const char*, int PendingFileSettings::*> kPendingIntegers[] = {
    {"programid", &PendingFileSettings::programId},
    {"vc", &PendingFileSettings::videoChannel},
    {"top", &PendingFileSettings::topFieldFirst},
    {"dc", &PendingFileSettings::intraDcPrecision},
};
// Values <= 0 leave the setting as it is.
constexpr std::pair<const char*, int PendingFileSettings::*> kPendingPositives[] = {
    {"ar", &PendingFileSettings::sampleRate}, {"ac", &PendingFileSettings::channels}};
constexpr std::pair<const char*, std::string PendingFileSettings::*> kPendingTexts[] = {
    {"rc_override", &PendingFileSettings::rcOverride},
    {"vfilters", &PendingFileSettings::videoFilters},
    {"vf", &PendingFileSettings::videoFilters},
    {"tvstd", &PendingFileSettings::tvStandard},
};
constexpr std::pair<const char*, std::int64_t PendingFileSettings::*> kPendingDurations[] = {
    {"ss", &PendingFileSettings::startTime}, {"itsoffset", &PendingFileSettings::inputTsOffset}};
constexpr std::pair<const char*, std::vector<std::uint16_t> PendingFileSettings::*> kMatrices[] = {
    {"intra_matrix", &PendingFileSettings::intraMatrix}, {"inter_matrix", &PendingFileSettings::interMatrix}};

void addFieldOptions(OptionTable& table) {
  for (const auto& [name, field] : kTaskFlags)
    table[name] = [field](const OptionCall& call) { call.options.task.*field = Boolean(call.value); };
  for (const auto& [name, field] : kTaskSwitches)
    table[name] = [field](const OptionCall& call) { call.options.task.*field = true; };
  for (const auto& [name, field] : kTaskIntegers)
    table[name] = [field](const OptionCall& call) { call.options.task.*field = Integer(call.value); };
  for (const auto& [name, field] : kTaskNonNegatives)
    table[name] = [field](const OptionCall& call) {
      call.options.task.*field = NonNegativeInteger(call.name, call.value);
    };
  for (const auto& [name, field] : kTaskSeconds)
    table[name] = [field](const OptionCall& call) { call.options.task.*field = Number(call.value); };
  for (const auto& [name, field] : kTaskTexts)
    table[name] = [field](const OptionCall& call) { call.options.task.*field = call.value; };
  for (const auto& [name, index] : kFrameLimits)
    table[name] = [index](const OptionCall& call) { call.options.task.maxFrames[size_t(index)] = Integer(call.value); };
  for (const auto& [name, field] : kPendingIntegers)
    table[name] = [field](const OptionCall& call) { call.options.pending.*field = Integer(call.value); };
  for (const auto& [name, field] : kPendingPositives)
    table[name] = [field](const OptionCall& call) {
      if (const int value = Integer(call.value); value > 0) call.options.pending.*field = value;
    };
  for (const auto& [name, field] : kPendingTexts)
    table[name] = [field](const OptionCall& call) { call.options.pending.*field = call.value; };
  for (const auto& [name, field] : kPendingDurations)
    table[name] = [field](const OptionCall& call) { call.options.pending.*field = Duration(call.name, call.value); };
  for (const auto& [name, field] : kMatrices)
    table[name] = [field](const OptionCall& call) { call.options.pending.*field = Matrix(call.value); };
}

std::string programFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : executable.parent_path().string() + "/";
}

// "<program folder>vstats_<hhnnss>.log"
std::string vstatsFileName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char time[16];
  std::strftime(time, sizeof time, "%H%M%S", &local);
  return StringPrintf("%svstats_%s.log", programFolder().c_str(), time);
}

// Words of a hook module line: split at "|" when it has one, else at blanks.
std::vector<std::string> hookWords(const std::string& text) {
  const char* separators = text.find('|') != std::string::npos ? "|" : " \t";
  std::vector<std::string> words;
  for (size_t start = text.find_first_not_of(separators); start != std::string::npos;) {
    const size_t end = std::min(text.find_first_of(separators, start), text.size());
    words.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(separators, end);
  }
  return words;
}

void addHook(const OptionCall& call) {
  try {
    call.host.AddHookModule(hookWords(call.value));
  } catch (const EngineException&) {
    throw EngineException("Failed to add video hook function: " + call.value);
  }
}

void format(const OptionCall& call) {
  auto& pending = call.options.pending;
  pending.formatName = call.value;
  if (call.value != "pgmyuv") return;
  call.Log(llInfo, "pgmyuv format is deprecated, use image2");
  pending.formatName = "image2";
  pending.pgmyuvDecoder = true;
}

void metadata(const OptionCall& call) {
  const auto equals = call.value.find('=');
  if (equals == std::string::npos) throw EngineException("Missing =");
  call.options.pending.metadata.emplace_back(call.value.substr(0, equals), call.value.substr(equals + 1));
}

void bitRate(const OptionCall& call) {
  call.options.SetGeneric(call.name, call.value);
  if (BitRate(call.value) < 1000)
    call.Log(llWarning, "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
}

void addSpecialOptions(OptionTable& table) {
  for (const char* name : kIgnored)
    table[name] = [](const OptionCall& call) { call.Log(llInfo, "Do nothing: option - " + call.name); };
  table["loglevel"] = [](const OptionCall& call) { TMediaLogger::instance().SetLogLevelFromText(call.value); };
  table["f"] = format;
  table["map"] = [](const OptionCall& call) { call.options.task.streamMaps.push_back(Map(call.value)); };
  table["map_meta_data"] = [](const OptionCall& call) {
    call.options.task.metadataMaps.push_back(MetadataMapping(call.value));
  };
  table["t"] = [](const OptionCall& call) {
    call.options.pending.recordingTime = call.options.task.expectedDuration = Duration(call.name, call.value);
  };
  table["fs"] = [](const OptionCall& call) { call.options.task.fileSizeLimit = Integer64(call.value); };
  table["itsscale"] = [](const OptionCall& call) {
    const auto [stream, scale] = StreamScale(call.value);
    call.options.pending.tsScale[size_t(stream)] = scale;
  };
  table["timestamp"] = [](const OptionCall& call) {
    call.options.pending.recordingTimestamp = Date(call.name, call.value) / AV_TIME_BASE;
  };
  table["metadata"] = metadata;
  table["keepsurround"] = [](const OptionCall& call) { call.options.pending.keepSurround = Boolean(call.value); };
  table["everystream"] = [](const OptionCall& call) { call.options.pending.everyStream = Boolean(call.value); };
  table["timelimit"] = [](const OptionCall& call) {
    call.Log(llWarning, "Warning: -timelimit not implemented on Windows");
  };
  table["target"] = [](const OptionCall& call) { call.options.ApplyTarget(call.value, "ntsc", call.host); };
  table["threads"] = [](const OptionCall& call) { throw EngineException("TODO: option - " + call.name); };
  for (const char* name : {"b", "vb", "ab"}) table[name] = bitRate;
  table["aq"] = [](const OptionCall& call) { call.options.pending.audioQuality = float(Number(call.value)); };
  table["qscale"] = [](const OptionCall& call) {
    const double quality = Number(call.value);
    if (!(quality > 0 && quality <= 255)) throw EngineException("qscale must be > 0.0 and <= 255");
    call.options.task.qscale = float(quality);
  };
  table["pass"] = [](const OptionCall& call) {
    const int pass = Integer(call.value);
    if (pass != 1 && pass != 2) throw EngineException("pass number can be only 1 or 2");
    call.options.task.pass = pass;
  };
  table["vstats"] = [](const OptionCall& call) { call.options.task.vstatsFile = vstatsFileName(); };
  table["vhook"] = addHook;
  table["streamid"] = [](const OptionCall& call) {
    const auto [index, id] = StreamId(call.name, call.value);
    call.options.pending.streamIds[index] = id;
  };
}

OptionTable buildTable() {
  OptionTable table;
  addFieldOptions(table);
  addSpecialOptions(table);
  AddPictureOptions(table);
  AddStreamKindOptions(table);
  return table;
}

}  // namespace

void OptionCall::Log(TLogLevel level, const std::string& text) const {
  TMediaLogger::instance().Log(static_cast<const void*>(&host), level, text);
}

const OptionHandler* FindOptionHandler(const std::string& name) {
  static const OptionTable table = buildTable();
  const auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}
