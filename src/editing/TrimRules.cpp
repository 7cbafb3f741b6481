#include "editing/TrimRules.h"

#include <cstdio>

namespace {

constexpr std::int64_t kOneMillisecond = 1000;

}  // namespace

TrimChoice ChooseTrim(std::int64_t start, std::int64_t end, std::int64_t duration) {
  TrimChoice choice;
  const bool proper = start >= 0 && end > 0 && start < end && end <= duration;
  choice.shownLength = proper ? end - start : duration;
  if (choice.shownLength <= 0) return choice;
  choice.trimStart = start > 0 ? start : 0;
  const std::int64_t length = choice.shownLength;
  if (length >= kOneMillisecond && duration - length >= kOneMillisecond && length != duration)
    choice.trimLength = length;
  return choice;
}

std::string TrimRowText(std::int64_t microseconds) {
  const std::int64_t seconds = microseconds / 1000000;
  char text[32];
  std::snprintf(text, sizeof text, "   %.1d:%.2d:%.2d", int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
  return text;
}
