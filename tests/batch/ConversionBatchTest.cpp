// A real batch through the real main window: files added with File › Add,
// Start pressed, the progress window running the engine until the batch ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <QTreeWidget>

#include <filesystem>

#include "app/MainWindow.h"
#include "batch/PowerOff.h"
#include "batch/ProgressWindow.h"
#include "engine/face/MediaEngine.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "testmedia/TestMedia.h"
#include "support/DecodedFrames.h"
#include "support/FakePowerControl.h"
#include "support/ScriptedPrompts.h"
#include "support/SmallDisk.h"
#include "support/TempHome.h"
#include "support/UrlRecorder.h"

namespace {


double lastFrameSeconds(const QString& path) {
  double last = -1;
  ForEachDecodedFrame(path.toStdString(), AVMEDIA_TYPE_VIDEO, [&](const AVFrame&, double seconds) { last = seconds; });
  return last;
}

TEST(ConversionBatch, ConvertsTheCheckedJobsAndReportsTheOneThatFailed) {
  TempHome home;
  ScriptedPrompts prompts;
  UrlRecorder folders("file");
  FakePowerControl power;
  IniFile(home.settingsPath().toStdString()).writeString("settings", "FormatCode", "200");  // 3GP, H.263 + AAC

  const QString clip = QString::fromStdString(test_media::Path(test_media::Kind::Clip320));
  const QString broken = home.path() + "/broken.mp4";
  // A video-only file with its pictures zeroed: it opens, but nothing in it decodes.
  QFile source(QString::fromStdString(test_media::Path(test_media::Kind::VideoOnlyMp4)));
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  QByteArray bytes = source.readAll();
  const int media = int(bytes.indexOf("mdat"));
  ASSERT_GT(media, 4);
  const int mediaSize = int(qFromBigEndian<quint32>(bytes.constData() + media - 4));
  bytes.replace(media + 4, mediaSize - 8, QByteArray(mediaSize - 8, '\0'));
  QFile out(broken);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(bytes);
  out.close();
  const QString first = home.path() + "/first.mp4", second = home.path() + "/second.mp4";
  QFile::copy(clip, first);
  QFile::copy(clip, second);

  TfrmMain window;
  window.show();
  prompts.queueFiles({broken, first, second});
  window.menus().actAdd->trigger();
  ASSERT_EQ(window.Jobs().Count(), 3);

  // While the batch runs: ask for the power-off, and never wait forever.
  QTimer::singleShot(0, [] {
    if (auto* progress = qobject_cast<TfrmProgress*>(QApplication::activeModalWidget()))
      progress->controls().ckShutDown->setChecked(true);
  });
  QTimer::singleShot(120000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  QTest::mouseClick(window.controls().btnStart, Qt::LeftButton);  // returns when the batch has ended

  const QString folder = home.path() + "/clipforge/";
  for (const QString& name : {QStringLiteral("first_(new).3gp"), QStringLiteral("second_(new).3gp")}) {
    SCOPED_TRACE(name.toStdString());
    EXPECT_NEAR(lastFrameSeconds(folder + name), 2.0, 0.2);
  }
  EXPECT_FALSE(QFile::exists(folder + "broken_(new).3gp"));
  TJobList& jobs = window.Jobs();
  EXPECT_EQ(jobs.ProgressText(0), "Failed");
  EXPECT_FALSE(jobs.view()->topLevelItem(0)->toolTip(4).isEmpty());
  EXPECT_EQ(jobs.ProgressText(1), "100%");
  EXPECT_EQ(jobs.ProgressText(2), "100%");
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Warning");
  EXPECT_TRUE(prompts.asked[0].text.contains(broken + ": ")) << prompts.asked[0].text.toStdString();
  EXPECT_EQ(prompts.asked[0].text.count('\n'), 1);  // one line for the one failed file

  // The last job's end, not the second's, opens the folder and powers off, once.
  ASSERT_EQ(folders.urls.size(), 1);
  EXPECT_EQ(folders.urls[0].toLocalFile() + "/", folder);
  EXPECT_EQ(power.calls, 1);
  EXPECT_TRUE(window.controls().btnStart->isEnabled());
  EXPECT_EQ(window.Engine().TaskCount(), 0);
  window.SetSkipExitConfirmation(true);
  window.close();
}

// A disk that fills up under the conversion fails the job with a message that
// says so, in the row's tool tip and the batch's report, and leaves nothing.
TEST(ConversionBatch, FullDiskFailsTheJobAndSaysSo) {
  TempHome home;
  const std::string folder = home.file("small");
  SmallDisk disk(folder, 24);
  if (!disk.mounted()) GTEST_SKIP() << disk.reason();
  ScriptedPrompts prompts;
  UrlRecorder folders("file");
  IniFile settings(home.settingsPath().toStdString());
  settings.writeString("settings", "FormatCode", "200");
  settings.writeString("settings", "OutPutDir", folder);
  const QString clip = home.path() + "/clip.mp4";
  QFile::copy(QString::fromStdString(test_media::Path(test_media::Kind::Clip320)), clip);

  TfrmMain window;
  window.show();
  prompts.queueFiles({clip});
  window.menus().actAdd->trigger();
  ASSERT_EQ(window.Jobs().Count(), 1);
  QTimer::singleShot(60000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  QTest::mouseClick(window.controls().btnStart, Qt::LeftButton);

  const std::string message = "Not enough space on the disk to write " + folder + "/clip_(new).3gp";
  TJobList& jobs = window.Jobs();
  EXPECT_EQ(jobs.ProgressText(0), "Failed");
  EXPECT_EQ(jobs.view()->topLevelItem(0)->toolTip(4).toStdString(), message);
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_TRUE(prompts.asked[0].text.contains(QString::fromStdString(message))) << prompts.asked[0].text.toStdString();
  EXPECT_TRUE(std::filesystem::is_empty(folder)) << "neither the file nor its partial file stays";
  window.SetSkipExitConfirmation(true);
  window.close();
}

// Without a known length the labels still follow the conversion, but neither the
// bar nor the row shows a percentage until the job has finished.
TEST(ConversionBatch, UnknownLengthLeavesThePercentageAlone) {
  TempHome home;
  ScriptedPrompts prompts;
  UrlRecorder folders("file");
  IniFile(home.settingsPath().toStdString()).writeString("settings", "FormatCode", "200");
  TfrmMain window;
  window.show();
  window.AddFiles({QString::fromStdString(test_media::Path(test_media::Kind::UnknownDuration))});
  ASSERT_EQ(window.Jobs().Count(), 1);

  struct Seen {
    int bar;
    QString row, time;
  };
  std::vector<Seen> seen;
  auto handler = window.Engine().OnProgress;
  window.Engine().SetProgressInterval(100);
  window.Engine().OnProgress = [&](TCustomMediaEngine* sender, TProgressInfo* info) {
    handler(sender, info);
    auto* progress = qobject_cast<TfrmProgress*>(QApplication::activeModalWidget());
    ASSERT_NE(progress, nullptr);
    seen.push_back({progress->controls().progbarFile->value(), window.Jobs().ProgressText(0),
                    progress->controls().lblTime->text()});
  };
  window.menus().actStart->trigger();
  ASSERT_FALSE(seen.empty());
  for (const Seen& report : seen) {
    EXPECT_EQ(report.bar, 0);
    EXPECT_EQ(report.row, "");
    EXPECT_TRUE(report.time.endsWith(" Second"));
  }
  EXPECT_EQ(window.Jobs().ProgressText(0), "100%");
  window.SetSkipExitConfirmation(true);
  window.close();
}

}  // namespace
