// What the conversion's stage threads could break: the order of the pictures
// the hook sees, joins, pause and stop at any moment.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <thread>

#include "engine/setup/EngineTask.h"
#include "media/MediaLoader.h"
#include "testmedia/TestMedia.h"
#include "probe/MediaProbe.h"
#include "support/DecodedFrames.h"
#include "support/TempHome.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Options = std::vector<std::pair<std::string, std::string>>;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

const Options kSmallMp4 = {{"vcodec", "mpeg4"}, {"s", "176x144"}, {"acodec", "aac"}};

struct HookCall {
  int frameNumber;
  std::int64_t pts;
};

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  // Opens the inputs and the output; the hook, when wanted, records each call
  // after sleeping for `hookSleep`.
  void Prepare(TCustomEngineTask& task, const std::vector<std::string>& inputs, const std::string& output, bool join,
               std::chrono::milliseconds hookSleep = 0ms) {
    task.SetVerbosity(-1);
    for (const auto& input : inputs) ASSERT_TRUE(task.OpenInputFile(input)) << task.ErrorText();
    for (const auto& [name, value] : kSmallMp4) task.ApplyOption(name, value);
    ASSERT_GE(task.OpenOutputFile(output, join), 0) << task.ErrorText();
    if (hookSleep == 0ms) return;
    task.SetFrameHook([this, hookSleep](AVFrame*, int frameNumber, std::int64_t pts) {
      std::this_thread::sleep_for(hookSleep);
      calls.push_back({frameNumber, pts});
      return true;
    });
  }

  // The calls of one input's pictures must number them 1, 2, 3, ... with rising times.
  static void ExpectInOrder(const std::vector<HookCall>& run, int expectedFrames) {
    ASSERT_EQ(int(run.size()), expectedFrames);
    for (size_t i = 0; i < run.size(); ++i) {
      ASSERT_EQ(run[i].frameNumber, int(i) + 1) << "call " << i;
      if (i > 0) {
        ASSERT_GT(run[i].pts, run[i - 1].pts) << "call " << i;
      }
    }
  }

  TempHome home;
  TMediaProbe probe;
  std::vector<HookCall> calls;  // written by the task's thread while it runs
};

// A hook slower than decoding lets the decoder's stage run ahead until its
// queue is full: the hook still sees every picture once, in order.
TEST_F(PipelineTest, SleepingHookSeesEveryPictureInOrder) {
  const std::string source = test_media::Path(test_media::Kind::LongDvdPal);
  const int pictures = CountDecodedFrames(source, AVMEDIA_TYPE_VIDEO);
  ASSERT_GT(pictures, 150);
  const std::string output = home.file("hooked.mp4");
  TCustomEngineTask task;
  Prepare(task, {source}, output, false, 2ms);
  task.Run();
  ASSERT_TRUE(task.Finished()) << task.ErrorText();
  ExpectInOrder(calls, pictures);
  EXPECT_EQ(CountDecodedFrames(output, AVMEDIA_TYPE_VIDEO), pictures);
}

// Joined inputs: the first input's stage hands out all of its pictures before
// the second input starts where the output stands.
TEST_F(PipelineTest, JoinedInputsFollowInOrder) {
  const std::string source = test_media::Path(test_media::Kind::LongDvdPal);
  const int pictures = CountDecodedFrames(source, AVMEDIA_TYPE_VIDEO);
  const std::string output = home.file("joined.mp4");
  TCustomEngineTask task;
  Prepare(task, {source, source}, output, true, 1ms);
  task.Run();
  ASSERT_TRUE(task.Finished()) << task.ErrorText();
  ASSERT_EQ(int(calls.size()), 2 * pictures);
  const std::vector<HookCall> first(calls.begin(), calls.begin() + pictures);
  const std::vector<HookCall> second(calls.begin() + pictures, calls.end());
  ExpectInOrder(first, pictures);
  ExpectInOrder(second, pictures);
  EXPECT_GT(second.front().pts, first.back().pts);
  const int written = CountDecodedFrames(output, AVMEDIA_TYPE_VIDEO);
  EXPECT_NEAR(written, 2 * pictures, 2);
  double lastAudio = 0;
  ForEachDecodedFrame(output, AVMEDIA_TYPE_AUDIO, [&](const AVFrame&, double seconds) { lastAudio = seconds; });
  EXPECT_NEAR(lastAudio, 2 * 8.0, 0.3);
}

// While paused, every stage parks: no picture reaches the hook and the
// process uses next to no processor time; after resuming the run completes.
TEST_F(PipelineTest, PauseParksEveryStage) {
  const std::string source = test_media::Path(test_media::Kind::LongDvdPal);
  const std::string output = home.file("paused.mp4");
  TCustomEngineTask task;
  std::atomic<int> seen{0};
  Prepare(task, {source}, output, false);
  task.SetFrameHook([&](AVFrame*, int, std::int64_t) {
    if (++seen == 40) task.Pause();
    return true;
  });
  auto run = std::async(std::launch::async, [&] { task.Run(); });
  while (!task.Paused() && run.wait_for(1ms) != std::future_status::ready) {
  }
  ASSERT_TRUE(task.Paused());
  std::this_thread::sleep_for(100ms);  // the stages finish what they were doing
  const int before = seen;
  const double cpuBefore = cpuSeconds();
  std::this_thread::sleep_for(400ms);
  EXPECT_LT(cpuSeconds() - cpuBefore, 0.08);
  EXPECT_EQ(seen, before);
  task.Resume();
  ASSERT_EQ(run.wait_for(30s), std::future_status::ready);
  EXPECT_TRUE(task.Finished()) << task.ErrorText();
  EXPECT_EQ(seen, CountDecodedFrames(source, AVMEDIA_TYPE_VIDEO));
}

// Stop and pause at random moments: every run ends promptly, and what it
// leaves is a complete file, or no file when nothing was encoded yet.
TEST_F(PipelineTest, StopAndPauseAtRandomMomentsLeaveValidFiles) {
  const std::string source = test_media::Path(test_media::Kind::LongDvdPal);
  const std::string output = home.file("random.mp4");
  constexpr int kTries = 100;
  std::mt19937 random(20261209);
  int withFile = 0, withPictures = 0;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const auto delay = std::chrono::microseconds(std::uniform_int_distribution<int>(0, 400000)(random));
    const int action = std::uniform_int_distribution<int>(0, 2)(random);
    const auto pauseFor = std::chrono::microseconds(std::uniform_int_distribution<int>(0, 30000)(random));
    SCOPED_TRACE(testing::Message() << "try " << attempt << ": after " << delay.count() << " us, action " << action);
    fs::remove(output);
    TCustomEngineTask task;
    Prepare(task, {source}, output, false);
    auto run = std::async(std::launch::async, [&] { task.Run(); });
    std::this_thread::sleep_for(delay);
    if (action > 0) {
      task.Pause();
      std::this_thread::sleep_for(pauseFor);
      if (action == 2) task.Resume();
    }
    task.RequestStop();  // also resumes a paused run
    ASSERT_EQ(run.wait_for(20s), std::future_status::ready);
    ASSERT_FALSE(task.Exception()) << task.ErrorText();
    if (!fs::exists(output)) continue;
    ++withFile;
    // A stop just after the start may come before the first picture is complete.
    ASSERT_TRUE(probe.LoadFile(output)) << probe.LastErrorMessage();
    const int pictures = CountDecodedFrames(output, AVMEDIA_TYPE_VIDEO), sounds = CountDecodedFrames(output, AVMEDIA_TYPE_AUDIO);
    ASSERT_GT(std::max(pictures, 0) + std::max(sounds, 0), 0);
    if (pictures > 0) ++withPictures;
  }
  EXPECT_GT(withPictures, kTries / 2);
}

}  // namespace
