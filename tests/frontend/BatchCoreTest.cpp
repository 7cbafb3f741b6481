// The conversion batch on its own, without Qt: jobs keyed by the caller become
// engine tasks writing to reserved destinations, task ends come back keyed by
// job, and jobs that cannot become tasks fail without leaving a reservation.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "engine/face/MediaEngine.h"
#include "frontend/ConversionBatch.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "media/Dispatcher.h"
#include "testmedia/TestMedia.h"
#include "support/BatchRun.h"
#include "support/DecodedFrames.h"
#include "support/TempHome.h"

namespace fs = std::filesystem;

namespace {

class BatchCore : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder);
    engine.SetDispatcher(&dispatcher);
    ASSERT_TRUE(engine.LoadLibraries("")) << engine.LastErrorMessage();
  }

  BatchSettings Settings(int code) {
    return {code, IniFile(home.settingsPath().toStdString()), IniFile(platform_paths::CatalogueFilePath()), folder,
            [](const std::string&, const std::string&) { return true; }};
  }

  void Run(ConversionBatch& batch) { ASSERT_TRUE(RunBatchOnThisThread(engine, dispatcher, batch)); }

  // The names in the output folder, hidden partial files included.
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempHome home;
  std::string folder = home.file("out");
  QueueDispatcher dispatcher;
  TMediaEngine engine;
  std::map<int, bool> converted;  // by key: whether it was the last task
  std::map<int, std::string> failed;
  ConversionBatch batch{engine,
                        {nullptr, [this](int key, bool last) { converted[key] = last; },
                         [this](int key, const std::string& reason) { failed[key] = reason; }, nullptr}};
};

TEST_F(BatchCore, JobsThatCannotBecomeTasksFailAndTheRestConvertUnderTheirOwnKeys) {
  const std::string clip = test_media::Path(test_media::Kind::Clip320);
  const std::string copy = home.file("second.mp4");
  fs::copy_file(clip, copy);
  batch.Begin(Settings(200));  // 3GP: H.263 176x144 + AAC
  TFileJob job;
  job.ZoomMode = batch.ZoomMode();
  EXPECT_EQ(batch.AddFile(7, clip, job), 0);
  EXPECT_EQ(batch.AddFile(8, home.file("missing.mp4"), job), -1);
  EXPECT_EQ(batch.AddFile(9, copy, job), 1);
  ASSERT_EQ(failed.count(8), 1u);
  EXPECT_NE(failed[8].find("missing.mp4"), std::string::npos) << failed[8];
  EXPECT_EQ(batch.KeyOfTask(0), 7);
  EXPECT_EQ(batch.KeyOfTask(1), 9);
  EXPECT_EQ(batch.KeyOfTask(2), -1);

  Run(batch);
  EXPECT_EQ(batch.Converted(), 2);
  ASSERT_EQ(converted.size(), 2u);
  EXPECT_FALSE(converted[7]);
  EXPECT_TRUE(converted[9]);  // only the last task's end says so
  ASSERT_EQ(batch.Failures().size(), 1u);
  EXPECT_EQ(batch.Failures()[0].key, 8);
  EXPECT_EQ(batch.Failures()[0].caption, home.file("missing.mp4"));
  for (int key : {7, 9}) {
    int pictures = 0, width = 0;
    ForEachDecodedFrame(batch.Destination(key), AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
      ++pictures;
      width = frame.width;
    });
    EXPECT_GT(pictures, 20) << batch.Destination(key);
    EXPECT_EQ(width, 176);
  }
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"clip_320x240_(new).3gp", "second_(new).3gp"}));
}

TEST_F(BatchCore, RefusedStoredValueGivesUpTheReservedName) {
  IniFile(home.settingsPath().toStdString()).writeString("formatInfo200", "paraFrameRate", "0.0001");
  batch.Begin(Settings(200));
  EXPECT_EQ(batch.AddFile(1, test_media::Path(test_media::Kind::Clip320), TFileJob{}), -1);
  EXPECT_EQ(failed[1], "Frame Rate is not a valid value!");
  EXPECT_EQ(batch.TaskCount(), 0);
  EXPECT_TRUE(FolderNames().empty()) << "a reservation or partial file was left behind";

  // A new batch starts clean: no failures, no tasks, the same name free again.
  IniFile(home.settingsPath().toStdString()).writeString("formatInfo200", "paraFrameRate", "15");
  batch.Begin(Settings(200));
  EXPECT_TRUE(batch.Failures().empty());
  EXPECT_EQ(batch.AddFile(1, test_media::Path(test_media::Kind::Clip320), TFileJob{}), 0);
  EXPECT_EQ(fs::path(batch.Destination(1)).filename(), "clip_320x240_(new).3gp");
  engine.ClearTasks();
}

}  // namespace
