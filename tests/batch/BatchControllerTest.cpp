// The batch controller on its own, over plain controls: Start runs the
// checked jobs in the progress window, a job whose source went away after it
// was added fails without leaving anything behind, and the buttons follow
// the batch.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "batch/BatchController.h"
#include "batch/ProgressWindow.h"
#include "testmedia/TestMedia.h"
#include "support/ControllerHost.h"
#include "support/DecodedFrames.h"

namespace {

TEST(BatchController, ConvertsTheCheckedJobsAndFailsTheOneWhoseSourceWentAway) {
  ControllerHost h;
  h.host.show();
  h.Settings().writeString("settings", "FormatCode", "200");  // 3GP, H.263 176x144 + AAC
  h.Settings().writeString("settings", "OutPutDir", h.home.file("out"));
  TBatchController batch({h.btnStart, h.btnPause, h.btnResume, h.btnStop, h.btnAdd, h.btnRemove, h.btnClear,
                          h.actStart, h.popStart},
                         h.engine, *h.jobs, [](const TlvFilesRecord&, DvdTitleInfo&, std::string&) { return false; },
                         h.context, nullptr);
  const QString clip = QString::fromStdString(test_media::Path(test_media::Kind::Clip320));
  const QString gone = h.home.path() + "/gone.mp4", kept = h.home.path() + "/kept.mp4",
                unchecked = h.home.path() + "/unchecked.mp4";
  for (const QString& copy : {gone, kept, unchecked}) ASSERT_TRUE(QFile::copy(clip, copy));
  ASSERT_TRUE(h.jobs->LoadEngineLibraries());
  h.jobs->AddFiles({gone, kept, unchecked});
  TJobList& jobs = h.jobs->Jobs();
  ASSERT_EQ(jobs.Count(), 3);
  jobs.SetChecked(2, false);
  ASSERT_TRUE(QFile::remove(gone));

  bool stopEnabledWhileRunning = false;
  QTimer::singleShot(0, [&] { stopEnabledWhileRunning = h.btnStop->isEnabled() && !h.btnAdd->isEnabled(); });
  QTimer::singleShot(60000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  QTest::mouseClick(h.btnStart, Qt::LeftButton);  // returns when the batch has ended

  EXPECT_TRUE(stopEnabledWhileRunning);
  EXPECT_EQ(jobs.ProgressText(0), "Failed");
  EXPECT_EQ(jobs.ProgressText(1), "100%");
  EXPECT_EQ(jobs.ProgressText(2), "");
  const std::string folder = h.home.file("out");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"kept_(new).3gp"}) << "nothing of the failed job is left";
  int pictures = 0;
  ForEachDecodedFrame(folder + "/kept_(new).3gp", AVMEDIA_TYPE_VIDEO, [&](const AVFrame&, double) { ++pictures; });
  EXPECT_GT(pictures, 20);
  ASSERT_EQ(h.prompts.asked.size(), 1);
  EXPECT_TRUE(h.prompts.asked[0].text.startsWith("This file could not be converted:\n" + gone + ": "))
      << h.prompts.asked[0].text.toStdString();
  // After the batch: jobs can be added and started again, nothing to stop.
  EXPECT_TRUE(h.btnAdd->isEnabled());
  EXPECT_TRUE(h.btnStart->isEnabled());
  EXPECT_FALSE(h.btnStop->isEnabled());
  EXPECT_NE(batch.ConversionPreview(), nullptr) << "the engine's pictures reach the progress window";
}

}  // namespace
