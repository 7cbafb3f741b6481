#include "frontend/TaskBuilder.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <optional>
#include <stdexcept>

#include "engine/face/EngineRecords.h"
#include "frontend/CurrentFormats.h"
#include "frontend/FileJob.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/FormatTable.h"
#include "frontend/NumberTexts.h"
#include "frontend/ParameterLimits.h"
#include "frontend/PictureFitting.h"
#include "frontend/QualityLevel.h"
#include "frontend/SourcePicture.h"

namespace {

namespace fc = format_catalogue;
namespace limits = parameter_limits;

constexpr const char* kAsSource = "as source";
// The engine's video sync that keeps each picture once at its own time: film
// stored at 29.97 (telecined) stays 23.976 and a phone's varying rate stays
// as recorded, instead of pictures repeated to fill a constant rate.
constexpr int kVariableRate = 2;

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// A whole number above 0, unless the text is "as source"; else -1.
int PositiveInteger(const std::string& text) {
  int value = 0;
  return text != kAsSource && IsInteger(text, &value) && value > 0 ? value : -1;
}

// kbit/s text as bits/s; -1 for "as source", text that is no number, and
// values that are not positive or do not fit the field.
int BitsPerSecond(const std::string& text) {
  long double kbits = 0;
  if (text == kAsSource || !IsNumber(text, &kbits)) return -1;
  const long double bits = kbits * 1000;
  return bits >= 1 && bits <= INT_MAX ? int(bits) : -1;
}

// Standard disc targets: codecs, sizes and rates come from the engine's
// target presets. False when the format is no disc target.
bool ApplyDiscTarget(const std::string& target, const FormatParameters& format, TOutputOptions& output) {
  const fc::DiscTarget* disc = fc::DiscTargetNamed(fc::LowerCase(target));
  if (!disc) return false;
  output.Target = disc->target;
  output.TargetNorm = disc->norm;
  const bool wide = disc->wideSize && format.Read("paraVideoSize", "null") == disc->wideSize;
  output.AspectRatio = wide ? "16:9" : "4:3";
  return true;
}

// The engine's name of a stored encoder: the table's when it renames one.
std::string EngineName(const fc::EncoderRow* row, const std::string& stored) {
  return row && row->engineName ? row->engineName : stored;
}

std::string AudioEncoder(const FormatParameters& format, const char* fallback) {
  const std::string encoder = format.Read("paraAudioEncoder", fallback);
  return EngineName(fc::EncoderStoredAs(fc::EncoderKind::Audio, encoder), encoder);
}

// A set value outside [low, high] refuses the build with the message.
template <typename T>
void RequireWithin(T value, T low, T high, const char* message) {
  if (value < low || value > high) throw std::invalid_argument(message);
}

// Channels, sample rate, bit rate and volume, for audio-only and video formats.
void ApplyAudioSettings(const FormatParameters& format, TOutputOptions& output) {
  output.AudioChannels = PositiveInteger(format.Read("paraChannel", "2"));
  if (output.AudioChannels > 0) RequireWithin(output.AudioChannels, 1, limits::kMaxChannels, limits::kChannelsInvalid);
  output.AudioSampleRate = PositiveInteger(format.Read("paraSampleRate", "44100"));
  if (output.AudioSampleRate > 0)
    RequireWithin(output.AudioSampleRate, limits::kMinSampleRate, limits::kMaxSampleRate, limits::kSampleRateInvalid);
  output.AudioBitrate = BitsPerSecond(format.Read("paraAudioBitRate", "128"));
  if (output.AudioBitrate > 0)
    RequireWithin<long double>(output.AudioBitrate / 1000.0L, limits::kMinAudioKbits, limits::kMaxAudioKbits,
                               limits::kAudioBitRateInvalid);
  const std::string volume = format.Read("paraVolume", "3");
  if (volume == "256") return;
  if (!IsInteger(volume, &output.AudioVolume)) throw std::invalid_argument("'" + volume + "' is not a valid integer value");
  RequireWithin(output.AudioVolume, 0, limits::kMaxVolume, limits::kVolumeInvalid);
}

void BuildAudioOnly(const FormatParameters& format, TOutputOptions& output, TInputOptions& input) {
  output.AudioCodec = AudioEncoder(format, "libfaac");
  ApplyAudioSettings(format, output);
  input.ExtOptions += (input.ExtOptions.empty() ? "" : "\n") + std::string("vn=1");
  output.DisableVideo = true;
  output.DisableSubtitle = true;
}

// The target's row in the format table, if it has one.
const fc::TargetRow* TargetRowOf(const std::string& target) { return fc::TargetNamed(fc::LowerCase(target)); }

// The encoder as the format table says to use it; an encoder the table does
// not know, or leaves to the container, names none. The current formats give
// their encoders options of their own in place of a device preset.
void ChooseVideoCodec(const std::string& encoder, const std::string& target, bool current, TOutputOptions& output) {
  const fc::EncoderRow* row = fc::EncoderStoredAs(fc::EncoderKind::Video, encoder);
  if (!row || row->use == fc::EncoderUse::ByContainer) return;
  output.VideoCodec = EngineName(row, encoder);
  if (row->use == fc::EncoderUse::DvdTarget) output.Target = fc::kDvdTarget;
  if (row->use == fc::EncoderUse::DevicePreset && !current) {
    const fc::TargetRow* device = TargetRowOf(target);
    output.VideoPreset = encoder + "-" + (device && device->presetDevice ? device->name : fc::kDefaultPresetDevice);
  }
}

// A quality level: the encoder's quality option and no bit rate (0 keeps the
// engine's default rate from turning constant quality into a capped one).
// An encoder without a quality option refuses the level.
void ChooseQuality(int level, const FormatParameters& format, TOutputOptions& output) {
  const fc::EncoderRow* encoder = fc::EncoderStoredAs(fc::EncoderKind::Video, format.Read("paraVideoEncoder", ""));
  if (!encoder || !encoder->qualityOption) throw std::invalid_argument(limits::kVideoBitRateInvalid);
  output.ExtOptions += (output.ExtOptions.empty() ? "" : "\n") + std::string(encoder->qualityOption) + "=" +
                       std::to_string(level) + "\nb=0";
}

void ChooseRatesAndContainer(const FormatParameters& format, const std::string& target, bool current,
                             const TSourcePicture& source, const SourceRules& rules, TOutputOptions& output) {
  const std::string bitRate = format.Read("paraVideoBitRate", "512");
  int kbits = 0;
  if (const std::optional<int> level = QualityLevel(bitRate)) {
    ChooseQuality(*level, format, output);
  } else if (bitRate != kAsSource && IsInteger(bitRate, &kbits)) {
    if (kbits > 0 && kbits <= INT_MAX / 1000) output.VideoBitrate = kbits * 1000;
  } else if (rules.sourceBitRateFallback) {
    output.VideoBitrate = source.BitRate;
  }
  const std::string frameRate = format.Read("paraFrameRate", "29.97");
  long double rate = 0;
  if (frameRate != kAsSource && IsNumber(frameRate, &rate) && rate > 0) {
    RequireWithin(rate, limits::kMinFrameRate, limits::kMaxFrameRate, limits::kFrameRateInvalid);
    output.FrameRate = frameRate;
  } else if (frameRate == kAsSource && current) {
    output.FrameRate = current_formats::CappedFrameRate(source);
    output.VideoSync = kVariableRate;
  }
  const fc::TargetRow* container = TargetRowOf(target);
  if (container && container->setsContainer) output.FileFormat = target;
}

void BuildPicture(const TFileJob& job, const FormatParameters& format, const TSourcePicture& source,
                  const fc::CurrentTarget* current, TOutputOptions& output, const AskQuestion& ask) {
  const std::string sizeText = format.Read("paraVideoSize", "null");
  TTargetSize size = ChooseTargetSize(sizeText, output.VideoCodec, source, ask);
  if (current && sizeText == kAsSource) size = current_formats::AsSourceSize(*current, source);
  for (int* crop : {&output.CropTop, &output.CropBottom, &output.CropLeft, &output.CropRight})
    if (*crop == -1) *crop = 0;
  const std::string filters = FitPicture(job, source, size.Width, size.Height, output);
  if (filters.empty()) return;
  output.VideoFilters += (output.VideoFilters.empty() ? "" : ",") + filters;
}

void BuildFormatOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                        const TSourcePicture& source, TInputOptions& input, const AskQuestion& ask,
                        const SourceRules& rules) {
  const std::string target = format.Target();
  if (ApplyDiscTarget(target, format, output) && rules.discTargetCompletes) return;
  const fc::CurrentTarget* current = current_formats::TargetOf(target);
  const std::string encoder = format.Read("paraVideoEncoder", "");
  if (IsBlank(encoder)) {
    BuildAudioOnly(format, output, input);
    if (current) current_formats::ApplyTarget(*current, nullptr, output);
    return;
  }
  ChooseVideoCodec(encoder, target, current, output);
  if (source.VideoStreamCount < 1) {
    output.DisableVideo = true;
  } else {
    ChooseRatesAndContainer(format, target, current, source, rules, output);
    BuildPicture(job, format, source, current, output, ask);
  }
  output.AudioCodec = AudioEncoder(format, "");
  if (IsBlank(output.AudioCodec)) output.DisableAudio = true;
  ApplyAudioSettings(format, output);
  if (current) current_formats::ApplyTarget(*current, fc::EncoderStoredAs(fc::EncoderKind::Video, encoder), output);
}

}  // namespace

void BuildTaskOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                      const TSourcePicture& source, TInputOptions& input, const AskQuestion& ask,
                      const SourceRules& rules) {
  BuildFormatOptions(job, format, output, source, input, ask, rules);
  ApplyJobRecord(job, input, output);
}

void BuildTaskOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                      TCustomMediaProbe& probe, TInputOptions& input, const AskQuestion& ask) {
  BuildTaskOptions(job, format, output, SourcePictureOf(probe), input, ask);
}

void ApplyJobRecord(const TFileJob& job, TInputOptions& input, TOutputOptions& output) {
  if (job.TrimStart >= 0) input.StartTime = job.TrimStart;
  if (job.TrimLength > 0) output.RecordingTime = job.TrimLength;
  output.EnableHook = job.NeedsHook && !output.DisableVideo;
}
