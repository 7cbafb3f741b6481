#include "frontend/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : char(c); };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// One line of the file: its text without the line end, and where it sits.
struct Line {
  size_t begin = 0;    // offset of the first byte of the text
  size_t textEnd = 0;  // offset just past the text (start of the line end)
  size_t end = 0;      // offset just past the line end
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section name or key name, trimmed
  std::string_view value;  // key value, trimmed
};

std::vector<Line> splitLines(const std::string& text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    const auto nl = text.find('\n', pos);
    if (nl == std::string::npos) {
      line.textEnd = line.end = text.size();
    } else {
      line.end = nl + 1;
      line.textEnd = (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl;
    }
    lines.push_back(line);
    pos = line.end;
  }
  return lines;
}

ParsedLine parseLine(std::string_view raw) {
  if (raw.substr(0, kBom.size()) == kBom) raw.remove_prefix(kBom.size());
  const auto text = trim(raw);
  ParsedLine parsed;
  if (text.empty() || text.front() == ';' || text.front() == '#') return parsed;
  if (text.front() == '[') {
    const auto close = text.find(']');
    parsed.kind = LineKind::Section;
    parsed.name = trim(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return parsed;
  }
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return parsed;
  parsed.kind = LineKind::Key;
  parsed.name = trim(text.substr(0, eq));
  parsed.value = trim(text.substr(eq + 1));
  return parsed;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// Position of a key inside the text, or of the section that should receive it.
struct Lookup {
  std::optional<size_t> keyLine;          // index of the first matching key line
  std::optional<size_t> sectionLastLine;  // last non-blank line of the first matching section
};

Lookup locate(const std::string& text, const std::vector<Line>& lines, std::string_view section,
              std::string_view key) {
  Lookup found;
  bool inSection = false;
  bool inFirstSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view raw(text.data() + lines[i].begin, lines[i].textEnd - lines[i].begin);
    const auto parsed = parseLine(raw);
    if (parsed.kind == LineKind::Section) {
      inSection = equalsNoCase(parsed.name, section);
      inFirstSection = inSection && !found.sectionLastLine;
      if (inFirstSection) found.sectionLastLine = i;
      continue;
    }
    if (inFirstSection && !trim(raw).empty()) found.sectionLastLine = i;
    if (inSection && parsed.kind == LineKind::Key && equalsNoCase(parsed.name, key)) {
      found.keyLine = i;
      return found;
    }
  }
  return found;
}

std::string lineEndOf(const std::string& text, const std::vector<Line>& lines) {
  for (const auto& line : lines)
    if (line.end > line.textEnd) return text.substr(line.textEnd, line.end - line.textEnd);
  return "\n";
}

bool validName(std::string_view name, bool isSection) {
  if (trim(name).empty() || trim(name).size() != name.size()) return false;
  for (char c : name)
    if (c == '\r' || c == '\n' || (isSection && c == ']') || (!isSection && c == '=')) return false;
  if (!isSection && (name.front() == '[' || name.front() == ';' || name.front() == '#')) return false;
  return true;
}

std::string oneLine(std::string_view value) {
  std::string out(trim(value));
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// Writes text to a temporary file beside path and renames it over path.
bool replaceFileAtomically(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(path);
  struct stat link {};
  if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    target = fs::canonical(target, ec);  // replace the file the link names, keep the link
    if (ec) return false;
  }
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  if (ec) return false;

  std::string tempName = target.string() + ".XXXXXX";
  const int fd = mkstemp(tempName.data());
  if (fd < 0) return false;
  struct stat existing {};
  fchmod(fd, ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);

  bool ok = true;
  size_t written = 0;
  while (ok && written < text.size()) {
    const auto n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) written += size_t(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(tempName.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(tempName.c_str());
  return ok;
}

}  // namespace

bool ParseInteger(std::string_view text, int& value) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const auto text = readWholeFile(path_);
  if (!text) return std::string(defaultValue);
  const auto lines = splitLines(*text);
  const auto found = locate(*text, lines, section, key);
  if (!found.keyLine) return std::string(defaultValue);
  const auto& line = lines[*found.keyLine];
  return std::string(parseLine({text->data() + line.begin, line.textEnd - line.begin}).value);
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
  const auto text = readWholeFile(path_);
  if (!text) return false;
  return locate(*text, splitLines(*text), section, key).keyLine.has_value();
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
  int value = 0;
  return ParseInteger(readString(section, key, ""), value) ? value : defaultValue;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  if (!validName(section, true) || !validName(key, false)) return false;
  std::string text = readWholeFile(path_).value_or("");
  const auto lines = splitLines(text);
  const auto found = locate(text, lines, section, key);
  const std::string eol = lineEndOf(text, lines);

  if (found.keyLine) {
    const auto& line = lines[*found.keyLine];
    const auto parsed = parseLine({text.data() + line.begin, line.textEnd - line.begin});
    const bool hasBom = line.begin == 0 && text.compare(0, kBom.size(), kBom) == 0;
    const std::string replacement = std::string(hasBom ? kBom : "") + std::string(parsed.name) +
                                    "=" + oneLine(value);
    text.replace(line.begin, line.textEnd - line.begin, replacement);
  } else if (found.sectionLastLine) {
    const auto& line = lines[*found.sectionLastLine];
    const std::string entry = std::string(key) + "=" + oneLine(value) + eol;
    if (line.end == line.textEnd) {
      text.insert(line.end, eol + entry.substr(0, entry.size() - eol.size()));
    } else {
      text.insert(line.end, entry);
    }
  } else {
    if (!text.empty() && text.back() != '\n') text += eol;
    text += "[" + std::string(section) + "]" + eol + std::string(key) + "=" + oneLine(value) + eol;
  }
  return replaceFileAtomically(path_, text);
}

bool IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
  return writeString(section, key, std::to_string(value));
}

bool IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
  return writeString(section, key, value ? "1" : "0");
}
