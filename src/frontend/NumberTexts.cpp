#include "frontend/NumberTexts.h"

#include <charconv>
#include <cmath>

#include "frontend/IniFile.h"

namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool IsInteger(std::string_view text, int* value) {
  int parsed = 0;
  if (!ParseInteger(text, parsed)) return false;
  if (value) *value = parsed;
  return true;
}

bool IsNumber(std::string_view text, long double* value) {
  std::string_view number = trimmed(text);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  long double parsed = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (number.empty() || error != std::errc() || end != number.data() + number.size() || !std::isfinite(parsed))
    return false;
  if (value) *value = parsed;
  return true;
}
