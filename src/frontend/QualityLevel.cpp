#include "frontend/QualityLevel.h"

#include <charconv>

namespace {

constexpr std::string_view kPrefix = "Quality ";
constexpr int kBestLevel = 0, kWorstLevel = 63;

}  // namespace

std::optional<int> QualityLevel(std::string_view text) {
  if (text.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const std::string_view number = text.substr(kPrefix.size());
  int level = -1;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), level);
  if (error != std::errc() || end != number.data() + number.size() || number.empty()) return std::nullopt;
  if (level < kBestLevel || level > kWorstLevel) return std::nullopt;
  return level;
}
