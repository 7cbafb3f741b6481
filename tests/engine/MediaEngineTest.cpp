#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "engine/face/MediaEngine.h"
#include "media/Dispatcher.h"
#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLogger.h"
#include "testmedia/TestMedia.h"
#include "support/TempHome.h"

namespace {

using test_media::Kind;

// An engine whose events run on this (the test's) thread through a queue
// dispatcher, with the terminate events collected.
class MediaEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine.LoadLibraries(""));
    engine.SetDispatcher(&dispatcher);
    engine.OnTerminate = [this](TCustomMediaEngine*, const TTerminateInfo& info) {
      std::lock_guard lock(mutex);
      ends.push_back(info);
    };
  }
  void TearDown() override { engine.Stop(true); }

  int addTask(Kind kind, const std::string& output, TOutputOptions options = {}) {
    const int index = engine.AddTask(test_media::Path(kind));
    EXPECT_GE(index, 0) << engine.LastErrorMessage();
    EXPECT_TRUE(engine.SetOutputFile(index, home.file(output.c_str()), &options)) << engine.LastErrorMessage();
    return index;
  }
  // Pumps the dispatcher until the all-ended notice arrived.
  void waitForAllEnded() {
    for (int i = 0; i < 3000 && !allEnded(); ++i) {
      dispatcher.pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(allEnded());
  }
  bool allEnded() {
    std::lock_guard lock(mutex);
    return !ends.empty() && ends.back().TaskIndex == -1;
  }
  std::vector<int> endIndexes() {
    std::lock_guard lock(mutex);
    std::vector<int> indexes;
    for (const auto& end : ends) indexes.push_back(end.TaskIndex);
    return indexes;
  }

  TempHome home;
  QueueDispatcher dispatcher;
  TMediaEngine engine;
  std::mutex mutex;
  std::vector<TTerminateInfo> ends;
};

TEST_F(MediaEngineTest, PropertiesAndRecordDefaults) {
  engine.SetProgressInterval(50);
  EXPECT_EQ(engine.ProgressInterval(), 100);
  EXPECT_EQ(engine.Version(), "3.3");
  const TOutputOptions output;
  EXPECT_EQ(output.TargetDefaultNorm, 1);
  EXPECT_EQ(output.RecordingTime, kNoTime);
  EXPECT_EQ(output.Metadata.TimeStamp, -1.0);
  EXPECT_EQ(TInputOptions().ProgramId, -1);
}

TEST_F(MediaEngineTest, SynchronousStartRunsEveryTaskInTheCallingThread) {
  for (int i = 0; i < 3; ++i) addTask(Kind::Wav, "s" + std::to_string(i) + ".wav");
  const auto caller = std::this_thread::get_id();
  std::vector<std::thread::id> threads;
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    ends.push_back(info);
    threads.push_back(std::this_thread::get_id());
  };
  engine.StartTask(0);
  EXPECT_EQ(endIndexes(), (std::vector<int>{0, 1, 2, -1}));
  for (const auto& thread : threads) EXPECT_EQ(thread, caller);
  EXPECT_TRUE(ends[0].Finished);
  EXPECT_FALSE(ends[0].Exception);
}

TEST_F(MediaEngineTest, ThreadedStartReportsEveryEndInOrderThenTheNotice) {
  for (int i = 0; i < 3; ++i) addTask(Kind::Wav, "t" + std::to_string(i) + ".wav");
  engine.StartTask(1);
  waitForAllEnded();
  EXPECT_EQ(endIndexes(), (std::vector<int>{0, 1, 2, -1}));
  EXPECT_THROW(engine.AddTask(test_media::Path(Kind::Wav)), EngineException);
  engine.ClearTasks();
  EXPECT_EQ(engine.TaskCount(), 0);
  EXPECT_GE(engine.AddTask(test_media::Path(Kind::Wav)), 0);
}

// A batch without tasks ends at once, in both modes, and the engine is free again.
TEST_F(MediaEngineTest, EmptyBatchEndsAtOnce) {
  engine.StartTask(0);
  EXPECT_EQ(endIndexes(), (std::vector<int>{-1}));
  engine.ClearTasks();
  ends.clear();
  engine.StartTask(1);
  waitForAllEnded();
  EXPECT_EQ(endIndexes(), (std::vector<int>{-1}));
  EXPECT_NO_THROW(engine.ClearTasks());
  EXPECT_GE(engine.AddTask(test_media::Path(Kind::Wav)), 0);
}

TEST_F(MediaEngineTest, OperationsWhileWorkingAreRefused) {
  addTask(Kind::DvdPalMpeg2Ac3, "w.mp4", [] {
    TOutputOptions o;
    o.VideoCodec = "mpeg4";
    return o;
  }());
  engine.StartTask(1);
  try {
    engine.AddTask(test_media::Path(Kind::Wav));
    FAIL();
  } catch (const EngineException& e) {
    EXPECT_STREQ(e.what(), "Cannot AddTask while working.");
  }
  EXPECT_THROW(engine.SetOutputFile(0, home.file("x.wav")), EngineException);
  EXPECT_THROW(engine.RemoveTask(0), EngineException);
  EXPECT_THROW(engine.StartTask(1), EngineException);
  waitForAllEnded();
}

TEST_F(MediaEngineTest, TwentyOutputsAtMost) {
  const int task = engine.AddTask(test_media::Path(Kind::Wav));
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(engine.SetOutputFile(task, home.file(("o" + std::to_string(i) + ".wav").c_str())))
        << engine.LastErrorMessage();
  EXPECT_FALSE(engine.SetOutputFile(task, home.file("o20.wav")));
  EXPECT_EQ(engine.LastErrorMessage(), "max output files 20 reached");
}

// A stop during the first of three tasks: it ends unfinished, the others report
// without running, and the notice follows. Progress events wait for this
// thread, which keeps pumping them while it waits for the stop.
TEST_F(MediaEngineTest, StopDuringTheFirstTask) {
  TOutputOptions slow;
  slow.VideoCodec = "mpeg4";
  slow.ExtOptions = "re=1";  // reading at the source's pace keeps it running
  for (int i = 0; i < 3; ++i) addTask(Kind::DvdPalMpeg2Ac3, "stop" + std::to_string(i) + ".mp4", slow);
  std::atomic<int> progressCalls{0};
  engine.OnProgress = [&](TCustomMediaEngine*, TProgressInfo*) { ++progressCalls; };
  engine.StartTask(1);
  while (progressCalls < 2) {
    dispatcher.pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  engine.Stop(true);
  ASSERT_EQ(endIndexes(), (std::vector<int>{0, 1, 2, -1}));
  EXPECT_FALSE(ends[0].Finished);
  EXPECT_FALSE(ends[0].Exception) << ends[0].ExceptionMsg;
  EXPECT_FALSE(ends[1].Finished);
  engine.ClearTasks();
}

TEST_F(MediaEngineTest, PausedTaskHoldsNoLockAndResumes) {
  TOutputOptions options;
  options.VideoCodec = "mpeg4";
  addTask(Kind::DvdPalMpeg2Ac3, "paused.mp4", options);
  std::atomic<int> progressCalls{0};
  engine.OnProgress = [&](TCustomMediaEngine*, TProgressInfo*) { ++progressCalls; };
  engine.SetProgressInterval(100);
  engine.StartTask(1);
  while (progressCalls < 1 && !allEnded()) dispatcher.pump();
  engine.Pause();
  const auto pausedAt = std::chrono::steady_clock::now();
  // Meanwhile a probe opens a file and the dispatcher keeps running.
  TMediaProbe probe;
  EXPECT_TRUE(probe.LoadFile(test_media::Path(Kind::Mp4H264Aac)));
  while (std::chrono::steady_clock::now() - pausedAt < std::chrono::seconds(1)) dispatcher.pump();
  const int callsWhilePaused = progressCalls;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  dispatcher.pump();
  EXPECT_LE(progressCalls - callsWhilePaused, 1);
  engine.Resume();
  waitForAllEnded();
  EXPECT_TRUE(ends.front().Finished) << ends.front().ExceptionMsg;
}

TEST_F(MediaEngineTest, ProgressIsMonotonicAndFollowsTheRecordingTime) {
  TOutputOptions options;
  options.AudioCodec = "libmp3lame";
  options.DisableVideo = true;
  options.RecordingTime = 1500000;
  addTask(Kind::Mp4H264Aac, "p.mp3", options);
  std::vector<TProgressInfo> reports;
  engine.OnProgress = [&](TCustomMediaEngine*, TProgressInfo* info) { reports.push_back(*info); };
  engine.SetProgressInterval(100);
  engine.StartTask(0);
  ASSERT_FALSE(reports.empty());
  for (size_t i = 1; i < reports.size(); ++i) EXPECT_GE(reports[i].CurrentDuration, reports[i - 1].CurrentDuration);
  EXPECT_EQ(reports.back().FileIndex, -1);
  for (const auto& report : reports) EXPECT_EQ(report.TotalDuration, 1500000);
}

// acodec=mp2 before newaudio: the added stream uses mp2, the first keeps AudioCodec.
TEST_F(MediaEngineTest, ExtOptionsAddStreamsWithTheValuesNamedBeforeThem) {
  struct Case {
    const char* audioCodec;
    const char* ext;
    const char* first;
    const char* second;
  };
  const Case cases[] = {{"aac", "acodec=mp2\nnewaudio=", "aac", "mp2"},
                        {"", "acodec=mp2<CRLF>newaudio", "mp2", "mp2"},
                        {"aac", "acodec=\nnewaudio", "aac", "aac"}};
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ext);
    TOutputOptions options;
    options.AudioCodec = c.audioCodec;
    options.DisableVideo = true;
    options.ExtOptions = c.ext;
    const std::string name = "two" + std::to_string(n++) + ".mkv";
    addTask(Kind::Wav, name, options);
    engine.StartTask(0);
    engine.ClearTasks();
    TMediaProbe probe;
    ASSERT_TRUE(probe.LoadFile(home.file(name.c_str())));
    ASSERT_EQ(probe.AudioStreamCount(), 2);
    EXPECT_EQ(probe.AudioStreamInfo(0).CodecName.substr(0, 3), c.first);
    EXPECT_EQ(probe.AudioStreamInfo(1).CodecName.substr(0, 3), c.second);
  }
}

}  // namespace
