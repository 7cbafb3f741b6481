#pragma once

#include <cstdint>
#include <string>

// name + ": " + the text of a library result code.
std::string MediaErrorText(const std::string& name, int code);
// Microseconds as "hh:mm:ss.mmm"; "N/A" for the no-value marker.
std::string MicrosecondsText(std::int64_t microseconds);
// 0 "Video", 1 "Audio", 2 "Data", 3 "Subtitle", 4 "Attachment", else "Unknown".
std::string MediaKindName(int kind);
// Seconds since 1970 as text in the given strftime pattern, local time or UTC.
std::string EpochTimeText(std::int64_t secondsSince1970, bool local, const char* pattern);
// printf into a std::string.
std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
