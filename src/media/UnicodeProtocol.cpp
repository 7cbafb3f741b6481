#include "media/UnicodeProtocol.h"

#include <sys/stat.h>

namespace unicode_protocol {

namespace {

constexpr const char* kUnicodePrefix = "unicode:utf8:";
constexpr const char* kPassingProtocols = ":unicode:stream:gopher:http:pipe:rtp:tcp:udp:";

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A name is local when a file of that name exists, or, for a path with a
// folder, when that folder exists (an output not written yet).
bool isLocalFile(const std::string& path) {
  if (exists(path)) return true;
  const auto slash = path.rfind('/');
  return slash != std::string::npos && slash > 0 && exists(path.substr(0, slash));
}

// The library reads "x:..." as protocol x unless a "/" comes before the colon.
bool looksLikeProtocol(const std::string& name) {
  const auto colon = name.find(':');
  return colon != std::string::npos && name.find('/') > colon;
}

}  // namespace

bool HasProtocolPrefix(const std::string& name) {
  const auto colon = name.find(':');
  if (colon == std::string::npos) return false;
  return std::string(kPassingProtocols).find(":" + name.substr(0, colon) + ":") != std::string::npos;
}

std::string NameForLibrary(const std::string& name) {
  std::string path = name;
  if (startsWith(name, kUnicodePrefix)) {
    path = NameFromLibrary(name);
  } else if (HasProtocolPrefix(name)) {
    return exists(name) ? "file:" + name : name;
  }
  if (looksLikeProtocol(path) && isLocalFile(path)) return "file:" + path;
  return path;
}

std::string LocalPath(const std::string& name) {
  const std::string path = NameForLibrary(name);
  if (startsWith(path, "file:")) return path.substr(5);
  return looksLikeProtocol(path) ? std::string() : path;
}

std::string NameFromLibrary(const std::string& stored) {
  if (startsWith(stored, kUnicodePrefix) && stored.size() >= 14) return stored.substr(std::string(kUnicodePrefix).size());
  if (startsWith(stored, "file:") && looksLikeProtocol(stored.substr(5))) return stored.substr(5);
  return stored;
}

}  // namespace unicode_protocol
