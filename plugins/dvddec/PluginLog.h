#pragma once

#include <dvdread/dvd_reader.h>

#include <string>

#include "dvddec.h"

namespace dvddec {

// Levels of DvdLogCallback, on the media libraries' scale.
constexpr int kLogError = 16;
constexpr int kLogWarning = 24;
constexpr int kLogInfo = 32;
constexpr int kLogDebug = 48;

// The callback receiving the plug-in's messages; nullptr drops them. Any thread.
void SetLogCallback(DvdLogCallback callback);
void LogMessage(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The calling thread's last failure text, so a worker's reader failure does not
// overwrite the reason the user-interface thread is about to read.
void SetLastError(const std::string& text);
const char* LastErrorText();

// Logger for DVDOpen2: forwards libdvdread's messages to the callback.
const dvd_logger_cb* DvdReadLogger();

}  // namespace dvddec
