#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class Dispatcher;

enum TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

// Library level (-8 quiet, 0 panic, 8 fatal, 16 error, ...) to TLogLevel and back.
TLogLevel LogLevelFromLibrary(int libraryLevel);
int LibraryLevelFromLogLevel(TLogLevel level);

// Collects the media libraries' log and the engine's own messages and hands
// complete lines to OnLog. One instance per process, created on first use.
// Messages arrive on any thread; each thread's fragments are assembled into
// lines of their own.
class TMediaLogger {
 public:
  using LogHandler =
      std::function<void(const void* sender, std::uint32_t threadId, TLogLevel level, const std::string& message)>;

  static TMediaLogger& instance();
  // Refuses a second instance ("Allow creating only one instance of TMediaLogger.").
  TMediaLogger();
  ~TMediaLogger();
  TMediaLogger(const TMediaLogger&) = delete;
  TMediaLogger& operator=(const TMediaLogger&) = delete;

  TLogLevel LogLevel() const { return level_; }
  // Also sets the library's level when the library is bound.
  void SetLogLevel(TLogLevel level);
  // "quiet" ... "debug" in any case, or a library level as a number.
  void SetLogLevelFromText(const std::string& text);

  bool TriggerEventInMainThread() const { return triggerInMainThread_; }
  void SetTriggerEventInMainThread(bool value) { triggerInMainThread_ = value; }
  // The handler and the dispatcher that runs it on the UI thread (not owned).
  void SetOnLog(LogHandler handler);
  void SetDispatcher(Dispatcher* dispatcher);

  // Whether a message of this level reaches OnLog.
  bool WillDeliver(TLogLevel level) const;
  void Log(const void* sender, TLogLevel level, const std::string& message);
  // Formats only when the message will be delivered.
  void LogFmt(const void* sender, TLogLevel level, const char* format, ...) __attribute__((format(printf, 4, 5)));

  // Routes the library's log here (needs avutil bound) and applies LogLevel.
  void installLibraryCallback();

 private:
  static void LibraryCallback(void* context, int level, const char* format, va_list arguments);
  void AppendLibraryText(TLogLevel level, const std::string& prefix, const std::string& text);
  void Deliver(const void* sender, std::uint32_t threadId, TLogLevel level, const std::string& message);

  std::atomic<TLogLevel> level_{llInfo};
  std::atomic<bool> triggerInMainThread_{true};
  mutable std::mutex handlerLock_;
  LogHandler onLog_;                   // guarded by handlerLock_
  Dispatcher* dispatcher_ = nullptr;   // guarded by handlerLock_
  std::mutex pendingLock_;
  std::map<std::uint32_t, std::string> pending_;  // per thread; guarded by pendingLock_
};

// The calling thread's id as the system numbers it.
std::uint32_t CurrentThreadId();
