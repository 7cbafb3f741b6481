#include <gtest/gtest.h>

#include <QPointer>
#include <QRegularExpression>

#include <mutex>

#include "engine/face/MediaEngine.h"
#include "testmedia/TestMedia.h"
#include "preview/PreviewerWindow.h"
#include "support/TempHome.h"
#include "support/WaitFor.h"
#include "ui/QtDispatcher.h"

namespace {

// An engine with Preview on whose preview windows are the program's own,
// recorded as they are made; events arrive through the Qt event loop.
class EnginePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine.LoadLibraries(""));
    engine.SetDispatcher(&dispatcher);
    engine.SetPreview(true);
    engine.SetPreviewWindowFactory([this](std::function<void()> onClosed) {
      auto window = QtPreviewWindowFactory()(std::move(onClosed));
      windows.push_back(dynamic_cast<TPreviewerWindow*>(window.get()));
      return window;
    });
    engine.OnTerminate = [this](TCustomMediaEngine*, const TTerminateInfo& info) {
      std::lock_guard lock(mutex);
      ends.push_back(info);
    };
  }
  void TearDown() override { engine.Stop(true); }

  // The 320x240 clip to MPEG-4, read at its own pace (two seconds) unless fast.
  void start(bool fast = false) {
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    if (!fast) options.ExtOptions = "re=1";
    const int task = engine.AddTask(test_media::Path(test_media::Kind::Clip320));
    ASSERT_GE(task, 0) << engine.LastErrorMessage();
    ASSERT_TRUE(engine.SetOutputFile(task, home.file("preview.mp4"), &options)) << engine.LastErrorMessage();
    engine.StartTask(1);
  }
  bool ended() {
    std::lock_guard lock(mutex);
    return !ends.empty() && ends.back().TaskIndex == -1;
  }
  bool finished() {
    std::lock_guard lock(mutex);
    return ends.size() == 2 && ends.front().Finished;
  }
  bool windowShown() { return !windows.empty() && windows.front() && windows.front()->isVisible(); }

  TempHome home;
  QtDispatcher dispatcher;
  TMediaEngine engine;
  std::vector<QPointer<TPreviewerWindow>> windows;  // UI thread only
  std::mutex mutex;
  std::vector<TTerminateInfo> ends;  // --- protected by mutex
};

TEST_F(EnginePreviewTest, FramesShowInOneTopmostWindowOfTheFrameSize) {
  start();
  ASSERT_TRUE(waitFor([&] { return windowShown(); }));
  TPreviewerWindow& window = *windows.front();
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(window.size(), QSize(320, 240));
  const QRegularExpression timeCaption("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$");
  EXPECT_TRUE(timeCaption.match(window.windowTitle()).hasMatch()) << window.windowTitle().toStdString();
  // The caption follows the frames.
  const QString first = window.windowTitle();
  EXPECT_TRUE(waitFor([&] { return window.windowTitle() != first; }));
  const QImage shown = window.grab().toImage();
  EXPECT_NE(shown.pixelColor(10, 10), shown.pixelColor(300, 220)) << "the test pattern is not one colour";
  ASSERT_TRUE(waitFor([&] { return ended(); }));
  EXPECT_TRUE(finished());
  EXPECT_EQ(windows.size(), 1u);
}

TEST_F(EnginePreviewTest, ClosedWindowShowsNoMoreFramesAndTheConversionFinishes) {
  start();
  ASSERT_TRUE(waitFor([&] { return windowShown(); }));
  windows.front()->close();
  const QString last = windows.front()->windowTitle();
  ASSERT_TRUE(waitFor([&] { return ended(); }));
  EXPECT_TRUE(finished());
  ASSERT_EQ(windows.size(), 1u);
  ASSERT_TRUE(windows.front());
  EXPECT_FALSE(windows.front()->isVisible());
  EXPECT_EQ(windows.front()->windowTitle(), last);

  // The next conversion has its preview again.
  engine.ClearTasks();
  {
    std::lock_guard lock(mutex);
    ends.clear();
  }
  start(true);
  ASSERT_TRUE(waitFor([&] { return ended(); }));
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_FALSE(windows.front()) << "the closed window was kept";
  ASSERT_TRUE(windows.back());
  EXPECT_TRUE(windows.back()->isVisible());
}

// Clearing Preview while a worker waits to draw its frame must neither block
// nor leave the window behind.
TEST_F(EnginePreviewTest, ClearingPreviewDestroysTheWindow) {
  start();
  ASSERT_TRUE(waitFor([&] { return windowShown(); }));
  engine.SetPreview(false);
  EXPECT_FALSE(windows.front());
  ASSERT_TRUE(waitFor([&] { return ended(); }));
  EXPECT_TRUE(finished());
  EXPECT_EQ(windows.size(), 1u);
}

TEST_F(EnginePreviewTest, BitmapPreviewTakesTheFramesInstead) {
  int bitmaps = 0;
  engine.SetPreviewBitmap(true);
  engine.OnPreviewBitmap = [&](TCustomMediaEngine*, const TPreviewInfo&) { ++bitmaps; };
  start(true);
  ASSERT_TRUE(waitFor([&] { return ended(); }));
  EXPECT_TRUE(finished());
  EXPECT_GT(bitmaps, 0);
  EXPECT_TRUE(windows.empty());
}

}  // namespace
