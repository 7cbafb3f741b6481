#include "media/MediaLogger.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "media/Dispatcher.h"
#include "media/MediaApi.h"

namespace {
std::atomic<bool> instanceExists{false};
}

TLogLevel LogLevelFromLibrary(int libraryLevel) {
  return TLogLevel(std::clamp(libraryLevel / 8 + 1, 0, 7));
}

int LibraryLevelFromLogLevel(TLogLevel level) { return (int(level) - 1) * 8; }

std::uint32_t CurrentThreadId() { return std::uint32_t(::syscall(SYS_gettid)); }

TMediaLogger& TMediaLogger::instance() {
  static TMediaLogger logger;
  return logger;
}

TMediaLogger::TMediaLogger() {
  if (instanceExists.exchange(true)) throw std::logic_error("Allow creating only one instance of TMediaLogger.");
}

TMediaLogger::~TMediaLogger() { instanceExists = false; }

void TMediaLogger::SetLogLevel(TLogLevel level) {
  level_ = level;
  if (media::av_log_set_level) media::av_log_set_level(LibraryLevelFromLogLevel(level));
}

void TMediaLogger::SetLogLevelFromText(const std::string& text) {
  static const std::pair<const char*, int> names[] = {{"quiet", -8}, {"panic", 0},    {"fatal", 8},
                                                      {"error", 16}, {"warning", 24}, {"info", 32},
                                                      {"verbose", 40}, {"debug", 48}};
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  int libraryLevel = std::atoi(text.c_str());
  for (const auto& [name, value] : names)
    if (lower == name) libraryLevel = value;
  SetLogLevel(LogLevelFromLibrary(libraryLevel));
}

void TMediaLogger::SetOnLog(LogHandler handler) {
  std::lock_guard lock(handlerLock_);
  onLog_ = std::move(handler);
}

void TMediaLogger::SetDispatcher(Dispatcher* dispatcher) {
  std::lock_guard lock(handlerLock_);
  dispatcher_ = dispatcher;
}

bool TMediaLogger::WillDeliver(TLogLevel level) const {
  {
    std::lock_guard lock(handlerLock_);
    if (!onLog_) return false;
  }
  const TLogLevel current = level_;
  return level <= current || (level == llVerbose && current != llQuiet);
}

void TMediaLogger::Log(const void* sender, TLogLevel level, const std::string& message) {
  if (WillDeliver(level)) Deliver(sender, CurrentThreadId(), level, message);
}

void TMediaLogger::LogFmt(const void* sender, TLogLevel level, const char* format, ...) {
  if (!WillDeliver(level)) return;
  char buffer[2048];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  Deliver(sender, CurrentThreadId(), level, buffer);
}

void TMediaLogger::Deliver(const void* sender, std::uint32_t threadId, TLogLevel level, const std::string& message) {
  LogHandler handler;
  Dispatcher* dispatcher;
  {
    std::lock_guard lock(handlerLock_);
    handler = onLog_;
    dispatcher = dispatcher_;
  }
  if (!handler) return;
  if (triggerInMainThread_ && dispatcher && !dispatcher->onUiThread()) {
    dispatcher->call([&] { handler(sender, threadId, level, message); });
  } else {
    handler(sender, threadId, level, message);
  }
}

void TMediaLogger::installLibraryCallback() {
  if (!media::av_log_set_callback || !media::av_log_set_level) return;
  media::av_log_set_callback(&TMediaLogger::LibraryCallback);
  SetLogLevel(level_);
}

void TMediaLogger::LibraryCallback(void* context, int level, const char* format, va_list arguments) {
  if (!media::av_log_get_level || level > media::av_log_get_level()) return;
  std::string prefix;
  if (context) {
    const AVClass* avClass = *static_cast<AVClass**>(context);
    if (avClass && avClass->item_name) {
      char text[256];
      std::snprintf(text, sizeof text, "[%s @ %p]", avClass->item_name(context), context);
      prefix = text;
    }
  }
  char buffer[2048];
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  instance().AppendLibraryText(LogLevelFromLibrary(level), prefix, buffer);
}

void TMediaLogger::AppendLibraryText(TLogLevel level, const std::string& prefix, const std::string& text) {
  const std::uint32_t thread = CurrentThreadId();
  std::vector<std::string> lines;
  {
    std::lock_guard lock(pendingLock_);
    std::string& pending = pending_[thread];
    if (pending.empty()) pending = prefix;
    pending += text;
    for (auto newline = pending.find('\n'); newline != std::string::npos; newline = pending.find('\n')) {
      lines.push_back(pending.substr(0, newline));
      pending.erase(0, newline + 1);
    }
    if (pending.empty()) pending_.erase(thread);
  }
  for (const auto& line : lines) Deliver(this, thread, level, line);
}
