// Target presets: the settings of the VCD, SVCD, DVD and DV standards for the
// PAL, NTSC and film norms, applied as options like the user's own.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/options/TaskOptions.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

enum class Norm { Unknown, Pal, Ntsc, Film };

struct TargetOption {
  const char* name;
  const char* pal;
  const char* ntsc;  // nullptr: as PAL; film takes this column too
};

struct Target {
  const char* type;
  std::vector<TargetOption> options;
  const char* assumedAspect;  // applied when no aspect ratio is set; nullptr: none
  bool monoToStereo;          // one channel becomes two
};

const Target kTargets[] = {
    {"vcd",
     {{"vcodec", "mpeg1video", nullptr}, {"acodec", "mp2", nullptr}, {"f", "vcd", nullptr},
      {"s", "352x288", "352x240"}, {"g", "15", "18"}, {"b", "1150000", nullptr}, {"maxrate", "1150000", nullptr},
      {"minrate", "1150000", nullptr}, {"bufsize", "327680", nullptr}, {"ab", "224000", nullptr},
      {"ar", "44100", nullptr}, {"ac", "2", nullptr}, {"packetsize", "2324", nullptr},
      {"muxrate", "1411200", nullptr}, {"muxpreload", "0.44", nullptr}},
     "4:3", false},
    {"svcd",
     {{"vcodec", "mpeg2video", nullptr}, {"acodec", "mp2", nullptr}, {"f", "svcd", nullptr},
      {"s", "480x576", "480x480"}, {"g", "15", "18"}, {"b", "2040000", nullptr}, {"maxrate", "2516000", nullptr},
      {"minrate", "0", nullptr}, {"bufsize", "1835008", nullptr}, {"ab", "224000", nullptr},
      {"scan_offset", "1", nullptr}, {"ar", "44100", nullptr}, {"packetsize", "2324", nullptr}},
     "4:3", true},
    {"dvd",
     {{"vcodec", "mpeg2video", nullptr}, {"acodec", "ac3", nullptr}, {"f", "dvd", nullptr},
      {"s", "720x576", "720x480"}, {"g", "15", "18"}, {"b", "6000000", nullptr}, {"maxrate", "9000000", nullptr},
      {"minrate", "0", nullptr}, {"bufsize", "1835008", nullptr}, {"ab", "448000", nullptr},
      {"packetsize", "2048", nullptr}, {"muxrate", "10080000", nullptr}, {"ar", "48000", nullptr}},
     "16:9", true},
    {"dv",
     {{"f", "dv", nullptr}, {"s", "720x576", "720x480"}, {"pix_fmt", "yuv420p", "yuv411p"}, {"ar", "48000", nullptr},
      {"ac", "2", nullptr}},
     nullptr, false},
    {"dv50",
     {{"f", "dv", nullptr}, {"s", "720x576", "720x480"}, {"pix_fmt", "yuv422p", nullptr}, {"ar", "48000", nullptr},
      {"ac", "2", nullptr}},
     nullptr, false},
};

// 25 fps is PAL, 29.97 and 23.976 NTSC, anything else does not decide.
Norm normOfRate(AVRational rate) {
  const long thousandths = std::lround(rate.num * 1000.0 / rate.den);
  return thousandths == 25000 ? Norm::Pal : thousandths == 29970 || thousandths == 23976 ? Norm::Ntsc : Norm::Unknown;
}

Norm automaticNorm(AVRational currentRate, const OptionHost& host, const std::string& fallbackNorm) {
  if (currentRate.den == 0) throw EngineException("frame_rate is invalid.");
  Norm norm = normOfRate(currentRate);
  for (const AVRational rate : host.InputVideoFrameRates())
    if (norm == Norm::Unknown && rate.den != 0) norm = normOfRate(rate);
  if (norm != Norm::Unknown) return norm;
  return fallbackNorm == "film" ? Norm::Film : fallbackNorm == "ntsc" ? Norm::Ntsc : Norm::Pal;
}

// Splits "pal-dvd" into the norm and "dvd"; no prefix: Unknown.
Norm prefixNorm(std::string& type) {
  constexpr std::pair<const char*, Norm> kPrefixes[] = {
      {"pal-", Norm::Pal}, {"ntsc-", Norm::Ntsc}, {"film-", Norm::Film}};
  for (const auto& [prefix, norm] : kPrefixes) {
    if (type.rfind(prefix, 0) != 0) continue;
    type.erase(0, std::char_traits<char>::length(prefix));
    return norm;
  }
  return Norm::Unknown;
}

const char* frameRateOf(Norm norm) {
  return norm == Norm::Pal ? "25" : norm == Norm::Ntsc ? "30000/1001" : "24000/1001";
}

}  // namespace

void TaskOptions::ApplyTarget(const std::string& value, const std::string& fallbackNorm, OptionHost& host) {
  std::string type = value;
  Norm norm = prefixNorm(type);
  const auto target = std::find_if(std::begin(kTargets), std::end(kTargets),
                                   [&](const Target& t) { return type == t.type; });
  if (target == std::end(kTargets)) throw EngineException("Unknown target type");
  auto& logger = TMediaLogger::instance();
  const void* sender = &host;  // the host is the task
  if (norm == Norm::Unknown) {
    norm = automaticNorm(pending.frameRate, host, fallbackNorm);
    if (task.verbosity > 0)
      logger.LogFmt(sender, llInfo, "Assuming %s for target.", norm == Norm::Pal ? "PAL" : "NTSC");
  }

  Apply("r", frameRateOf(norm), host);
  for (const auto& option : target->options)
    Apply(option.name, norm == Norm::Pal || !option.ntsc ? option.pal : option.ntsc, host);
  if (target->monoToStereo && pending.channels == 1) Apply("ac", "2", host);
  if (target->assumedAspect && pending.aspectRatio == 0) {
    logger.LogFmt(sender, llInfo, "Assuming %s for aspect ratio", target->assumedAspect);
    Apply("aspect", target->assumedAspect, host);
  }
}
