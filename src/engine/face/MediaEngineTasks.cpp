// Making tasks from the option records: AddTask and SetOutputFile.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

#include "engine/face/MediaEngine.h"
#include "engine/options/ExtOptions.h"
#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

std::string secondsText(std::int64_t microseconds) { return StringPrintf("%.6f", double(microseconds) / 1e6); }

// A local date-time counted in days since 1899-12-30 as seconds since 1970 (UTC).
std::int64_t localDaysToEpoch(double days) {
  const double localSeconds = (days - 25569.0) * 86400.0;
  const std::time_t whole = std::time_t(std::floor(localSeconds));
  std::tm parts{};
  gmtime_r(&whole, &parts);  // the local wall-clock fields
  parts.tm_isdst = -1;
  return std::int64_t(std::mktime(&parts));
}

}  // namespace

void TCustomMediaEngine::ApplyExtOptions(TEngineTask& task, const std::string& text, bool inputMode) {
  for (const auto& [name, value] : ParseExtOptions(text)) {
    if (isOneOf(name, {"newvideo", "newaudio", "newsubtitle", "apre", "vpre", "spre", "vfilters", "vf"})) continue;
    if (!inputMode && isOneOf(name, {"acodec", "vcodec", "scodec", "s"})) continue;
    task.ApplyOption(name, value);
  }
}

void TCustomMediaEngine::ApplyInputOptions(TEngineTask& task, int slot, const std::string& fileName,
                                           const TInputOptions& options) {
  TInputOptions copy = options;
  if (copy.FileName.empty()) copy.FileName = fileName;
  task.InputOptions[size_t(slot)] = copy;
  ApplyExtOptions(task, copy.ExtOptions, true);
  if (!copy.FileFormat.empty()) task.ApplyOption("f", copy.FileFormat);
  if (copy.StartTime != kNoTime) task.ApplyOption("ss", secondsText(copy.StartTime));
  if (copy.ProgramId >= 0) task.ApplyOption("programid", std::to_string(copy.ProgramId));
}

// Opens input number `slot` of a task and attaches its probe; false with
// LastErrorMessage set.
bool TCustomMediaEngine::OpenTaskInput(TEngineTask& task, int slot, const std::string& fileName,
                                       const TInputOptions* options) {
  try {
    if (options) ApplyInputOptions(task, slot, fileName, *options);
    if (!task.OpenInputFile(fileName)) {
      lastError_ = task.ErrorText();
      return false;
    }
    task.Probes[size_t(slot)] = std::make_unique<TMediaProbe>();
    task.Probes[size_t(slot)]->Attach(task.Input(slot));
    return true;
  } catch (const std::exception& e) {
    lastError_ = e.what();
    return false;
  }
}

int TCustomMediaEngine::AddTask(const std::string& fileName, const TInputOptions* options) {
  CheckNotWorking("AddTask");
  auto task = std::make_unique<TEngineTask>();
  task->Reset();
  task->SetVerbosity(verbosity_);
  if (!OpenTaskInput(*task, 0, fileName, options)) return -1;
  ConnectTask(*task);
  return tasks_.Add(std::move(task));
}

bool TCustomMediaEngine::AddInput(int taskIndex, const std::string& fileName, const TInputOptions* options) {
  CheckNotWorking("AddInput");
  auto& task = tasks_.Item(taskIndex);
  if (task.InputCount() >= kMaxFiles) {
    lastError_ = StringPrintf("max input files %d reached", kMaxFiles);
    return false;
  }
  return OpenTaskInput(task, task.InputCount(), fileName, options);
}

void TCustomMediaEngine::ApplyMetadata(TEngineTask& task, const TStreamInfo& metadata) {
  if (metadata.TimeStamp == 0) task.Options().pending.recordingTimestamp = std::int64_t(std::time(nullptr));
  if (metadata.TimeStamp > 0) task.Options().pending.recordingTimestamp = localDaysToEpoch(metadata.TimeStamp);
  if (metadata.Year > 0) task.ApplyOption("metadata", "year=" + std::to_string(metadata.Year));
  if (metadata.Track > 0) task.ApplyOption("metadata", "track=" + std::to_string(metadata.Track));
  const std::pair<const char*, const std::string*> texts[] = {
      {"title", &metadata.Title},     {"author", &metadata.Author}, {"copyright", &metadata.Copyright},
      {"comment", &metadata.Comment}, {"album", &metadata.Album},   {"genre", &metadata.Genre}};
  for (const auto& [key, value] : texts)
    if (!value->empty()) task.ApplyOption("metadata", std::string(key) + "=" + *value);
}

void TCustomMediaEngine::ApplyOutputFields(TEngineTask& task, const TOutputOptions& o) {
  auto set = [&task](const char* name, const std::string& value) { task.ApplyOption(name, value); };
  auto setText = [&](const char* name, const std::string& value) {
    if (!value.empty()) set(name, value);
  };
  auto setPositive = [&](const char* name, double value) {
    if (value > 0) set(name, value == std::floor(value) ? std::to_string(std::int64_t(value)) : std::to_string(value));
  };
  setText("f", o.FileFormat);
  setPositive("packetsize", o.PacketSize);
  setPositive("muxrate", o.MuxRate);
  setPositive("muxdelay", o.MuxDelay);
  setPositive("muxpreload", o.MuxPreload);
  if (o.DisableAudio) set("an", "1");
  if (o.AudioVolume >= 0) set("vol", std::to_string(o.AudioVolume));
  setPositive("ac", o.AudioChannels);
  setPositive("ar", o.AudioSampleRate);
  setPositive("ab", o.AudioBitrate);
  setPositive("abt", o.AudioBitrateTolerance);
  setText("alang", o.AudioLanguage);
  set("async", std::to_string(o.AudioSync));
  setText("atag", o.AudioTag);
  if (o.DisableVideo) set("vn", "1");
  setText("r", o.FrameRate);
  setText("aspect", o.AspectRatio);
  setPositive("croptop", o.CropTop);
  setPositive("cropbottom", o.CropBottom);
  setPositive("cropleft", o.CropLeft);
  setPositive("cropright", o.CropRight);
  setPositive("g", o.GopSize);
  setPositive("vb", o.VideoBitrate);
  setPositive("maxrate", o.MaxRate);
  setPositive("minrate", o.MinRate);
  setPositive("bt", o.BitrateTolerance);
  setPositive("bufsize", o.BufferSize);
  set("vsync", std::to_string(o.VideoSync));
  setText("vtag", o.VideoTag);
  setText("vlang", o.VideoLanguage);
  if (o.DisableSubtitle) set("sn", "1");
  setText("slang", o.SubtitleLanguage);
  set("isync", o.InputSync ? "1" : "0");
  if (o.CopyTimestamps) set("copyts", "1");
  if (o.StartTime != kNoTime) set("ss", secondsText(o.StartTime));
  if (o.RecordingTime != kNoTime) set("t", secondsText(o.RecordingTime));
  ApplyMetadata(task, o.Metadata);
}

bool TCustomMediaEngine::SetOutputFile(int taskIndex, const std::string& fileName, const TOutputOptions* options) {
  CheckNotWorking("SetOutputFile");
  auto& task = tasks_.Item(taskIndex);
  const int slot = task.OutputCount();
  if (slot >= kMaxFiles) {
    lastError_ = StringPrintf("max output files %d reached", kMaxFiles);
    return false;
  }
  try {
    std::map<std::string, std::string> defaults;
    std::vector<std::pair<std::string, std::string>> perStream;  // pending values for new streams
    bool join = false;
    if (options) {
      TOutputOptions o = *options;
      if (o.FileName.empty()) o.FileName = fileName;
      task.OutputOptions[size_t(slot)] = o;
      defaults = {{"acodec", o.AudioCodec},   {"vcodec", o.VideoCodec},   {"scodec", o.SubtitleCodec},
                  {"apre", o.AudioPreset},    {"vpre", o.VideoPreset},    {"spre", o.SubtitlePreset},
                  {"s", o.FrameSize},         {"vf", o.VideoFilters}};
      for (auto [name, value] : ParseExtOptions(o.ExtOptions)) {
        if (name == "vfilters") name = "vf";
        if (value.empty() || !defaults.count(name)) continue;
        if (defaults[name].empty()) defaults[name] = value;
        perStream.emplace_back(name, value);
      }
      if (o.Target >= 1 && o.Target <= 3) {
        static const char* const targets[] = {"vcd", "svcd", "dvd"};
        const std::string norm = o.TargetNorm == 1 ? "pal-" : o.TargetNorm == 2 ? "ntsc-" : "";
        task.ApplyTarget(norm + targets[o.Target - 1], o.TargetDefaultNorm == 1 ? "pal" : "ntsc");
      }
      for (const char* name : {"acodec", "vcodec", "scodec", "apre", "vpre", "spre"})
        if (!defaults[name].empty()) task.ApplyOption(name, defaults[name]);
      ApplyExtOptions(task, o.ExtOptions, false);
      ApplyOutputFields(task, o);
      for (const char* name : {"s", "vf"})
        if (!defaults[name].empty()) task.ApplyOption(name, defaults[name]);
      if (o.EnableHook)
        task.SetFrameHook([this, &task](AVFrame* frame, int number, std::int64_t pts) {
          return RunHook(task, frame, number, pts);
        });
      join = o.Join;
    } else {
      task.OutputOptions[size_t(slot)] = TOutputOptions{};
    }
    if (task.OpenOutputFile(fileName, join) < 0) {
      lastError_ = task.ErrorText();
      task.OutputOptions[size_t(slot)] = TOutputOptions{};
      return false;
    }
    if (options) AddRequestedStreams(task, options->ExtOptions, defaults, perStream);
    return true;
  } catch (const std::exception& e) {
    lastError_ = e.what();
    return false;
  }
}

// "newaudio", "newvideo", "newsubtitle" lines add streams with the values named
// before them, else with the defaults.
void TCustomMediaEngine::AddRequestedStreams(TEngineTask& task, const std::string& text,
                                             std::map<std::string, std::string>& defaults,
                                             std::vector<std::pair<std::string, std::string>>& perStream) {
  static const std::map<std::string, std::vector<std::string>> takes = {
      {"newaudio", {"acodec", "apre"}}, {"newvideo", {"vcodec", "vpre", "s", "vf"}}, {"newsubtitle", {"scodec", "spre"}}};
  for (const auto& [name, value] : ParseExtOptions(text)) {
    const auto kind = takes.find(name);
    if (kind == takes.end()) continue;
    for (const auto& key : kind->second) {
      auto pending = std::find_if(perStream.begin(), perStream.end(), [&](const auto& entry) { return entry.first == key; });
      if (pending != perStream.end()) {
        task.ApplyOption(key, pending->second);
        perStream.erase(pending);
      } else if (!defaults[key].empty()) {
        task.ApplyOption(key, defaults[key]);
      }
    }
    task.ApplyOption(name, value);
  }
}
