#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "engine/options/TaskOptions.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"

// What the option vocabulary asks of a task, recorded.
class FakeOptionHost : public OptionHost {
 public:
  void AddStreamToLastOutput(StreamKind kind) override {
    if (!hasOutput) throw EngineException("At least one output file must be specified");
    addedStreams.push_back(kind);
  }
  std::vector<AVRational> InputVideoFrameRates() const override { return inputRates; }
  void AddHookModule(const std::vector<std::string>& words) override {
    if (failHook) throw EngineException("Failed to find Process entrypoint in x\n");
    hookWords.push_back(words);
  }

  bool hasOutput = true;
  bool failHook = false;
  std::vector<StreamKind> addedStreams;
  std::vector<AVRational> inputRates;
  std::vector<std::vector<std::string>> hookWords;
};

// Fresh options with the libraries loaded; collects the logger's lines.
class OptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
    logger.SetDispatcher(nullptr);
    logger.SetOnLog([this](const void*, std::uint32_t, TLogLevel level, const std::string& text) {
      std::lock_guard lock(mutex);
      lines.push_back({level, text});
    });
  }
  void TearDown() override {
    logger.SetOnLog(nullptr);
    logger.SetLogLevel(llInfo);
  }

  void Apply(const std::string& name, const std::string& value) { options.Apply(name, value, host); }
  // The message Apply fails with, "" when it succeeds.
  std::string Failure(const std::string& name, const std::string& value) {
    try {
      Apply(name, value);
    } catch (const EngineException& e) {
      return e.what();
    }
    return "";
  }
  bool Logged(TLogLevel level, const std::string& text) {
    std::lock_guard lock(mutex);
    for (const auto& line : lines)
      if (line.first == level && line.second.find(text) != std::string::npos) return true;
    return false;
  }
  void ClearLog() {
    std::lock_guard lock(mutex);
    lines.clear();
  }

  TMediaLogger& logger = TMediaLogger::instance();
  std::mutex mutex;
  std::vector<std::pair<TLogLevel, std::string>> lines;
  FakeOptionHost host;
  TaskOptions options;
};
