#include "media/MediaUtils.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "media/MediaApi.h"

namespace {

const char* knownErrorText(int code) {
  switch (code) {
    case AVERROR_PATCHWELCOME: return "Not yet implemented in FFmpeg";
    case AVERROR(EPROTONOSUPPORT):
    case AVERROR_PROTOCOL_NOT_FOUND: return "Unsupported network protocol";
    case AVERROR(EILSEQ):
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_MUXER_NOT_FOUND: return "Unknown format";
    case AVERROR(EDOM): return "Number syntax expected in filename";
    case AVERROR(EPIPE):
    case AVERROR_EOF: return "End of file";
    case AVERROR(EINVAL):
    case AVERROR_INVALIDDATA: return "Invalid data found when processing input";
    case AVERROR(ENOMEM): return "Not enough memory";
    case AVERROR(EIO): return "I/O error";
    case AVERROR(ENOENT): return "No such file or directory";
    default: return nullptr;
  }
}

}  // namespace

std::string StringPrintf(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list copy;
  va_copy(copy, arguments);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, arguments);
  va_end(arguments);
  return text;
}

std::string MediaErrorText(const std::string& name, int code) {
  if (const char* known = knownErrorText(code)) return name + ": " + known;
  std::string text = StringPrintf("Error number %d occurred", code);
  char libraryText[256];
  if (media::av_strerror && media::av_strerror(code, libraryText, sizeof libraryText) == 0)
    text += std::string(" (") + libraryText + ")";
  return name + ": " + text;
}

std::string EpochTimeText(std::int64_t secondsSince1970, bool local, const char* pattern) {
  const std::time_t time = std::time_t(secondsSince1970);
  std::tm parts{};
  if (local) localtime_r(&time, &parts);
  else gmtime_r(&time, &parts);
  char text[64];
  std::strftime(text, sizeof text, pattern, &parts);
  return text;
}

std::string MicrosecondsText(std::int64_t microseconds) {
  if (microseconds == AV_NOPTS_VALUE) return "N/A";
  const std::int64_t seconds = microseconds / 1000000;
  return StringPrintf("%.2d:%.2d:%.2d.%.3d", int(seconds / 60 / 60), int(seconds / 60 % 60), int(seconds % 60),
                      int((microseconds % 1000000) * 1000 / 1000000));
}

std::string MediaKindName(int kind) {
  switch (kind) {
    case 0: return "Video";
    case 1: return "Audio";
    case 2: return "Data";
    case 3: return "Subtitle";
    case 4: return "Attachment";
    default: return "Unknown";
  }
}
