#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/hooks/InvertHookState.h"
#include "engine/setup/HookModules.h"
#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"

namespace {

const std::string kInvert = OXBEL_INVERT_HOOK;
const std::string kNoProcess = OXBEL_NO_PROCESS_HOOK;
const std::string kNoConfigure = OXBEL_NO_CONFIGURE_HOOK;
const std::string kFailingConfigure = OXBEL_FAILING_CONFIGURE_HOOK;

// A variable of a module the registry has loaded; the test holds no reference
// of its own, so a module unloaded behind its back shows as nullptr.
template <typename T>
T* ModuleVariable(const std::string& path, const char* name) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return nullptr;
  auto* variable = static_cast<T*>(dlsym(handle, name));
  dlclose(handle);
  return variable;
}

struct FrameDeleter {
  void operator()(AVFrame* frame) const { media::av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

FramePtr MakeFrame(int width, int height) {
  FramePtr frame(media::av_frame_alloc());
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = width;
  frame->height = height;
  if (media::av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  return frame;
}

// Luma sample (x, y) of the test pattern.
uint8_t Pattern(int x, int y) { return uint8_t(x * 7 + y * 13); }

void FillPattern(AVFrame* frame) {
  for (int y = 0; y < frame->height; ++y)
    for (int x = 0; x < frame->width; ++x) frame->data[0][y * frame->linesize[0] + x] = Pattern(x, y);
  for (int plane = 1; plane < 3; ++plane)
    for (int y = 0; y < frame->height / 2; ++y)
      std::memset(frame->data[plane] + y * frame->linesize[plane], 100 * plane, frame->width / 2);
}

// Loads the inverting module, clears what it recorded and collects the log.
class HookModulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
    HookModuleList warmUp;
    warmUp.Add({kInvert});
    warmUp.Release();
    state = ModuleVariable<InvertHookState>(kInvert, "HookState");
    ASSERT_NE(state, nullptr);
    *state = {};
    TMediaLogger::instance().SetDispatcher(nullptr);
    TMediaLogger::instance().SetOnLog([this](const void*, std::uint32_t, TLogLevel level, const std::string& text) {
      std::lock_guard lock(logLock);
      log.push_back({level, text});
    });
  }
  void TearDown() override { TMediaLogger::instance().SetOnLog(nullptr); }

  // The text of the EngineException that Add raises, or "" when it succeeds.
  static std::string AddFailure(HookModuleList& list, const std::vector<std::string>& words) {
    try {
      list.Add(words);
    } catch (const EngineException& error) {
      return error.what();
    }
    return "";
  }

  InvertHookState* state = nullptr;
  std::mutex logLock;
  std::vector<std::pair<TLogLevel, std::string>> log;
};

TEST_F(HookModulesTest, ProcessChangesThePictureInPlaceWithTheFrameProperties) {
  HookModuleList list;
  list.Add({kInvert, "A"});
  FramePtr frame = MakeFrame(64, 48);
  ASSERT_NE(frame, nullptr);
  FillPattern(frame.get());

  list.Process(frame.get(), 1234567);

  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(frame->data[0][y * frame->linesize[0] + x], 255 - Pattern(x, y)) << x << "," << y;
  for (int plane = 1; plane < 3; ++plane)
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) ASSERT_EQ(frame->data[plane][y * frame->linesize[plane] + x], 100 * plane);
  EXPECT_EQ(state->format, AV_PIX_FMT_YUV420P);
  EXPECT_EQ(state->width, 64);
  EXPECT_EQ(state->height, 48);
  EXPECT_EQ(state->pts, 1234567);
}

TEST_F(HookModulesTest, ConfigureGetsTheWordsAsACommandLineAndModulesRunInListOrder) {
  HookModuleList list;
  list.Add({kInvert});
  EXPECT_EQ(state->configureArgc, 1);
  list.Add({kInvert, "A", "extra"});
  EXPECT_EQ(state->configureArgc, 3);
  EXPECT_EQ(state->firstWord, kInvert);
  EXPECT_TRUE(state->argvTerminated);
  list.Add({kInvert, "B"});
  EXPECT_FALSE(list.Empty());

  FramePtr frame = MakeFrame(16, 16);
  ASSERT_NE(frame, nullptr);
  FillPattern(frame.get());
  list.Process(frame.get(), 0);

  EXPECT_STREQ(state->processTrace, "-AB");
  // Three inversions in a row leave the picture inverted once.
  EXPECT_EQ(frame->data[0][frame->linesize[0] + 2], 255 - Pattern(2, 1));
}

TEST_F(HookModulesTest, ReleaseRunsOncePerConfiguredInstance) {
  {
    HookModuleList list;
    list.Add({kInvert, "A"});
    list.Add({kInvert, "B"});
    list.Release();
    EXPECT_TRUE(list.Empty());
    list.Release();
  }
  EXPECT_STREQ(state->releaseTrace, "AB");
  {
    HookModuleList list;
    list.Add({kInvert, "C"});
  }
  EXPECT_STREQ(state->releaseTrace, "ABC");

  HookModuleList refused;
  AddFailure(refused, {kFailingConfigure, "x"});
  refused.Release();
  EXPECT_EQ(*ModuleVariable<int>(kFailingConfigure, "FailingReleaseCount"), 0);
}

TEST_F(HookModulesTest, MissingEntryPointsAndARefusingConfigureFailWithTheirTexts) {
  HookModuleList list;
  EXPECT_EQ(AddFailure(list, {kNoProcess}), "Failed to find Process entrypoint in " + kNoProcess + "\n");
  EXPECT_EQ(AddFailure(list, {kNoConfigure, "x"}), "Failed to find Configure entrypoint in " + kNoConfigure + "\n");
  EXPECT_EQ(AddFailure(list, {kFailingConfigure}), "Failed to Configure " + kFailingConfigure + "\n");
  EXPECT_TRUE(list.Empty());

  // Without arguments a module needs no Configure.
  EXPECT_EQ(AddFailure(list, {kNoConfigure}), "");
  EXPECT_FALSE(list.Empty());
}

TEST_F(HookModulesTest, AModuleIsLoadedOnceAndStaysLoadedAfterItsTasks) {
  {
    HookModuleList first, second;
    first.Add({kInvert, "A"});
    second.Add({kInvert, "B"});
  }
  EXPECT_EQ(*ModuleVariable<int>(kInvert, "HookLoadCount"), 1);
  void* handle = dlopen(kInvert.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(handle, nullptr);
  if (handle) dlclose(handle);
}

TEST_F(HookModulesTest, AModuleThatCannotBeLoadedFailsAndLogsTheSystemText) {
  const std::string path = (std::filesystem::temp_directory_path() / "oxbel-no-such-hook.so").string();
  ASSERT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL), nullptr);
  const std::string reason = dlerror();

  HookModuleList list;
  EXPECT_THROW(list.Add({path, "x"}), EngineException);
  EXPECT_TRUE(list.Empty());
  std::lock_guard lock(logLock);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].first, llError);
  EXPECT_EQ(log[0].second, reason);
}

}  // namespace
