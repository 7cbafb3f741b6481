#include "engine/options/ExtOptions.h"

#include <algorithm>

namespace {

std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseExtOptions(const std::string& source) {
  std::string text = trim(source);
  replaceAll(text, "\r\n", "\n");
  replaceAll(text, "\r", "\n");
  replaceAll(text, "<CRLF>", "\n");
  std::vector<std::pair<std::string, std::string>> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const auto end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (trim(line).empty()) continue;
    const auto equals = line.find('=');
    std::string name = trim(line.substr(0, equals));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    lines.emplace_back(name, equals == std::string::npos ? std::string() : line.substr(equals + 1));
  }
  return lines;
}
