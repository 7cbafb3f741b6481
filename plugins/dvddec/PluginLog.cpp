#include "PluginLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace dvddec {
namespace {

std::atomic<DvdLogCallback> logCallback{nullptr};
thread_local std::string lastError;

void Forward(int level, const char* format, va_list arguments) {
  const DvdLogCallback callback = logCallback.load();
  if (!callback) return;
  char text[1024];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  callback(level, line.c_str());
}

int LevelOf(dvd_logger_level_t level) {
  switch (level) {
    case DVD_LOGGER_LEVEL_ERROR: return kLogError;
    case DVD_LOGGER_LEVEL_WARN: return kLogWarning;
    case DVD_LOGGER_LEVEL_INFO: return kLogInfo;
    default: return kLogDebug;
  }
}

// libdvdread reports these for every unencrypted folder or image it opens;
// they are no fault of the disc, so they do not reach the user as one.
bool Routine(const char* format) {
  static const char* const kRoutine[] = {"Couldn't find device name", "Encrypted DVD support unavailable"};
  for (const char* text : kRoutine)
    if (std::strncmp(format, text, std::strlen(text)) == 0) return true;
  return false;
}

void DvdReadLog(void*, dvd_logger_level_t level, const char* format, va_list arguments) {
  Forward(Routine(format) ? kLogDebug : LevelOf(level), format, arguments);
}

const dvd_logger_cb kDvdReadLogger{DvdReadLog};

}  // namespace

void SetLogCallback(DvdLogCallback callback) { logCallback = callback; }

void LogMessage(int level, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  Forward(level, format, arguments);
  va_end(arguments);
}

void SetLastError(const std::string& text) { lastError = text; }

const char* LastErrorText() { return lastError.c_str(); }

const dvd_logger_cb* DvdReadLogger() { return &kDvdReadLogger; }

}  // namespace dvddec
