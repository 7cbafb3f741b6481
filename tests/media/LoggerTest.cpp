#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "media/Dispatcher.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"

namespace {

struct Line {
  const void* sender;
  std::uint32_t thread;
  TLogLevel level;
  std::string text;
};

// Collects delivered lines; restores the logger's settings afterwards.
class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
    logger.SetDispatcher(nullptr);
    logger.SetOnLog([this](const void* sender, std::uint32_t thread, TLogLevel level, const std::string& text) {
      std::lock_guard lock(mutex);
      lines.push_back({sender, thread, level, text});
    });
  }
  void TearDown() override {
    logger.SetOnLog(nullptr);
    logger.SetDispatcher(nullptr);
    logger.SetLogLevel(llInfo);
  }
  std::vector<std::string> texts() {
    std::lock_guard lock(mutex);
    std::vector<std::string> result;
    for (const auto& line : lines) result.push_back(line.text);
    return result;
  }

  TMediaLogger& logger = TMediaLogger::instance();
  std::mutex mutex;
  std::vector<Line> lines;
};

TEST_F(LoggerTest, LevelConversions) {
  EXPECT_EQ(LogLevelFromLibrary(AV_LOG_QUIET), llQuiet);
  EXPECT_EQ(LogLevelFromLibrary(AV_LOG_PANIC), llPanic);
  EXPECT_EQ(LogLevelFromLibrary(AV_LOG_ERROR), llError);
  EXPECT_EQ(LogLevelFromLibrary(AV_LOG_VERBOSE), llVerbose);
  EXPECT_EQ(LogLevelFromLibrary(AV_LOG_TRACE), llDebug);
  EXPECT_EQ(LibraryLevelFromLogLevel(llWarning), AV_LOG_WARNING);
  EXPECT_EQ(LibraryLevelFromLogLevel(llQuiet), AV_LOG_QUIET);

  logger.SetLogLevelFromText("WARNING");
  EXPECT_EQ(logger.LogLevel(), llWarning);
  EXPECT_EQ(media::av_log_get_level(), AV_LOG_WARNING);
  logger.SetLogLevelFromText("40");
  EXPECT_EQ(logger.LogLevel(), llVerbose);
  logger.SetLogLevelFromText("quiet");
  EXPECT_EQ(logger.LogLevel(), llQuiet);
}

TEST_F(LoggerTest, SecondInstanceIsRefused) {
  try {
    TMediaLogger second;
    FAIL() << "a second logger was created";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Allow creating only one instance of TMediaLogger.");
  }
}

TEST_F(LoggerTest, QuietSuppressesEverythingErrorStillDeliversVerboseEngineLines) {
  int sender = 0;
  logger.SetLogLevel(llQuiet);
  logger.Log(&sender, llVerbose, "progress");
  logger.Log(&sender, llPanic, "panic");
  media::av_log(nullptr, AV_LOG_PANIC, "library panic\n");
  EXPECT_TRUE(texts().empty());

  logger.SetLogLevel(llError);
  logger.Log(&sender, llVerbose, "progress");
  logger.Log(&sender, llInfo, "info");
  logger.LogFmt(&sender, llError, "%s %d", "error", 7);
  media::av_log(nullptr, AV_LOG_VERBOSE, "library verbose\n");
  EXPECT_EQ(texts(), (std::vector<std::string>{"progress", "error 7"}));
  EXPECT_EQ(lines[0].sender, &sender);
}

TEST_F(LoggerTest, LibraryFragmentsBecomeWholeLinesPerThread) {
  media::av_log(nullptr, AV_LOG_ERROR, "first half, ");
  EXPECT_TRUE(texts().empty());
  media::av_log(nullptr, AV_LOG_ERROR, "second half\nnext ");
  media::av_log(nullptr, AV_LOG_ERROR, "line\n");
  EXPECT_EQ(texts(), (std::vector<std::string>{"first half, second half", "next line"}));
  EXPECT_EQ(lines[0].sender, &logger);
  EXPECT_EQ(lines[0].level, llError);

  lines.clear();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i) {
        media::av_log(nullptr, AV_LOG_ERROR, "thread %d ", t);
        media::av_log(nullptr, AV_LOG_ERROR, "line %d", i);
        media::av_log(nullptr, AV_LOG_ERROR, " end\n");
      }
    });
  for (auto& thread : threads) thread.join();
  const auto all = texts();
  ASSERT_EQ(all.size(), 800u);
  std::vector<int> next(4, 0);
  for (const auto& text : all) {
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(text.c_str(), "thread %d line %d end", &t, &i), 2) << text;
    ASSERT_EQ(text, "thread " + std::to_string(t) + " line " + std::to_string(i) + " end");
    EXPECT_EQ(i, next[size_t(t)]++);
  }
}

TEST_F(LoggerTest, ContextMessagesCarryTheItemNameAndAddress) {
  AVFormatContext* context = media::avformat_alloc_context();
  media::av_log(context, AV_LOG_ERROR, "about the context\n");
  media::avformat_free_context(context);
  ASSERT_EQ(texts().size(), 1u);
  char expected[128];
  // A format context without a format names itself "NULL".
  std::snprintf(expected, sizeof expected, "[NULL @ %p]about the context", static_cast<void*>(context));
  EXPECT_EQ(texts()[0], expected);
}

// Lines from a worker thread are handed to the UI thread, which runs them when it pumps.
TEST_F(LoggerTest, WorkerLinesRunOnTheUiThreadThroughTheDispatcher) {
  QueueDispatcher dispatcher;
  logger.SetDispatcher(&dispatcher);
  const std::uint32_t uiThread = CurrentThreadId();
  std::uint32_t handledOn = 0;
  logger.SetOnLog([&](const void*, std::uint32_t, TLogLevel, const std::string&) { handledOn = CurrentThreadId(); });
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    logger.Log(nullptr, llError, "from the worker");
    finished = true;
  });
  while (!finished) {
    dispatcher.pump();
    std::this_thread::yield();
  }
  worker.join();
  EXPECT_EQ(handledOn, uiThread);
}

}  // namespace
