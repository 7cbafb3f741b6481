#include "engine/options/LegacyOptions.h"

#include <algorithm>
#include <iterator>

namespace {

// A flag bit that became an option of its own; option nullptr: dropped.
struct FlagBit {
  const char* bit;
  const char* option;
  const char* on;
  const char* off;
};

// libx264 reads these from its private options only.
constexpr FlagBit kFlags2Bits[] = {
    {"wpred", "weightb", "1", "0"},
    {"dct8x8", "8x8dct", "1", "0"},
    {"mixed_refs", "mixed-refs", "1", "0"},
    {"fastpskip", "fast-pskip", "1", "0"},
    {"mbtree", "mbtree", "1", "0"},
    {"bpyramid", "b-pyramid", "normal", "none"},
    {"aud", "aud", "1", "0"},
    {"psy", "psy", "1", "0"},
    {"ssim", "ssim", "1", "0"},
};
// The loop filter is on by default now; scan_offset moved into mpeg2video.
constexpr FlagBit kFlagsBits[] = {
    {"loop", nullptr, nullptr, nullptr},
    {"scan_offset", "scan_offset", "1", "0"},
};
constexpr std::pair<const char*, const char*> kPartitions[] = {
    {"parti4x4", "i4x4"}, {"parti8x8", "i8x8"}, {"partp4x4", "p4x4"}, {"partp8x8", "p8x8"}, {"partb8x8", "b8x8"},
};
constexpr std::pair<const char*, const char*> kRenamed[] = {{"directpred", "direct-pred"}, {"wpredp", "weightp"}};
constexpr const char* kX264MotionSearches[] = {"dia", "hex", "umh", "esa", "tesa"};

struct FlagToken {
  char sign;  // '+', '-' or 0 (sets the bit, as the first bit of an absolute value)
  std::string bit;
};

std::vector<FlagToken> splitFlags(const std::string& value) {
  std::vector<FlagToken> tokens;
  for (size_t i = 0; i < value.size();) {
    const char sign = value[i] == '+' || value[i] == '-' ? value[i] : 0;
    const size_t start = sign ? i + 1 : i;
    const size_t end = std::min(value.find_first_of("+-", start), value.size());
    tokens.push_back({sign, value.substr(start, end - start)});
    i = end;
  }
  return tokens;
}

template <size_t N>
std::vector<OptionPair> translateFlags(const std::string& name, const std::string& value, const FlagBit (&bits)[N]) {
  std::vector<OptionPair> moved;
  std::string kept;
  for (const auto& token : splitFlags(value)) {
    const auto bit =
        std::find_if(std::begin(bits), std::end(bits), [&](const FlagBit& b) { return token.bit == b.bit; });
    if (bit == std::end(bits)) {
      kept += (token.sign ? std::string(1, token.sign) : std::string()) + token.bit;
    } else if (bit->option) {
      moved.emplace_back(bit->option, token.sign == '-' ? bit->off : bit->on);
    }
  }
  if (kept == value) return {{name, value}};
  if (!kept.empty()) moved.insert(moved.begin(), {name, kept});
  return moved;
}

// "+parti4x4+partp8x8" -> "i4x4,p8x8"; newer values pass unchanged.
std::vector<OptionPair> translatePartitions(const std::string& value) {
  if (value.find("part") == std::string::npos) return {{"partitions", value}};
  std::string list;
  for (const auto& token : splitFlags(value)) {
    if (token.sign == '-') continue;
    for (const auto& [old, current] : kPartitions)
      if (token.bit == old) list += (list.empty() ? "" : ",") + std::string(current);
  }
  return {{"partitions", list.empty() ? "none" : list}};
}

// libx264 keeps its own search names; the MPEG-family encoders know zero, epzs
// and xone, and everything else meant a search that epzs now stands for.
std::vector<OptionPair> translateMotionSearch(const std::string& value) {
  std::vector<OptionPair> pairs;
  if (std::find(std::begin(kX264MotionSearches), std::end(kX264MotionSearches), value) != std::end(kX264MotionSearches))
    pairs.emplace_back("me_method", value);
  const char* mpeg = value == "zero" ? "zero" : value == "x1" || value == "xone" ? "xone" : "epzs";
  pairs.emplace_back("motion_est", mpeg);
  return pairs;
}

}  // namespace

std::vector<OptionPair> TranslateLegacyOption(const std::string& name, const std::string& value) {
  if (name == "flags") return translateFlags(name, value, kFlagsBits);
  if (name == "flags2") return translateFlags(name, value, kFlags2Bits);
  if (name == "partitions") return translatePartitions(value);
  if (name == "me_method") return translateMotionSearch(value);
  for (const auto& [old, current] : kRenamed)
    if (name == old) return {{current, value}};
  return {{name, value}};
}
