#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <mutex>

#include "batch/ProgressWindow.h"
#include "engine/face/MediaEngine.h"
#include "frontend/IniFile.h"
#include "testmedia/TestMedia.h"
#include "preview/PreviewPicture.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "support/UrlRecorder.h"
#include "support/WaitFor.h"
#include "ui/ElidedLabel.h"
#include "ui/ProductLinks.h"
#include "ui/QtDispatcher.h"
#include "ui/TipsBanner.h"

namespace {

const QColor kBackground(0xA6, 0xCA, 0xF0);

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2)); }

QImage filled(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

class ProgressWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TfrmProgress> makeWindow() {
    return std::make_unique<TfrmProgress>(
        engine, [this] { return preview.get(); },
        [this] { return IniFile(home.settingsPath().toStdString()); }, nullptr);
  }
  // A batch that ends as soon as it starts (a task without output), so the
  // window can show again after the driver's ClearTasks.
  void addInstantTask() {
    ASSERT_TRUE(engine.LoadLibraries(""));
    ASSERT_GE(engine.AddTask(test_media::Path(test_media::Kind::Wav)), 0) << engine.LastErrorMessage();
  }
  void writeSetting(const char* key, const std::string& value) {
    IniFile(home.settingsPath().toStdString()).writeString("settings", key, value);
  }

  TempHome home;
  ScriptedPrompts prompts;
  TMediaEngine engine;
  std::unique_ptr<QImage> preview;
};

TEST_F(ProgressWindowTest, EachShowingResetsAllButShutDown) {
  addInstantTask();
  auto window = makeWindow();
  const ProgressControls& ui = window->controls();
  window->show();
  EXPECT_EQ(window->windowTitle(), "Progress");
  EXPECT_EQ(window->size(), QSize(420, 460));
  EXPECT_EQ(ui.ckOpen->text(), "Open the output folder after conversion");
  EXPECT_EQ(ui.ckShutDown->text(), "Shut down computer after conversion");
  EXPECT_EQ(ui.imgbtnSnap->toolTip(), "Save snapshot picture");
  EXPECT_EQ(ui.lblOutput->width(), 283);
  EXPECT_EQ(ui.imgPreview->size(), QSize(388, 199));
  EXPECT_EQ(ui.imgPreview->Picture().pixelColor(200, 100), kBackground);
  EXPECT_TRUE(ui.Timer1->isActive());
  EXPECT_EQ(ui.Timer1->interval(), 100);
  EXPECT_TRUE(window->OpenFolderAfterConversion());
  EXPECT_FALSE(window->ShutDownAfterConversion());

  click(ui.ckOpen);
  click(ui.ckShutDown);
  window->SetTimeText("12 Second");
  window->SetOutputText("clip.avi");
  window->SetBarPosition(40);
  EXPECT_EQ(ui.progbarFile->text(), "40%");
  EXPECT_FALSE(window->OpenFolderAfterConversion());
  EXPECT_TRUE(window->ShutDownAfterConversion());
  click(ui.btnCancel);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(ui.Timer1->isActive());

  engine.ClearTasks();  // the driver's batch end
  addInstantTask();
  window->show();
  EXPECT_TRUE(window->OpenFolderAfterConversion());
  EXPECT_TRUE(window->ShutDownAfterConversion());
  EXPECT_TRUE(ui.lblTime->text().isEmpty());
  EXPECT_TRUE(ui.lblOutput->text().isEmpty());
  EXPECT_EQ(ui.progbarFile->value(), 0);
  EXPECT_FALSE(ui.lblRemaining->isVisible());
  window->close();
}

// The 100 ms repaint fits a 400 x 300 frame into the 388 x 199 picture at
// x 61..327; an empty frame leaves the picture as it was.
TEST_F(ProgressWindowTest, RepaintFitsThePreviewIntoThePicture) {
  auto window = makeWindow();
  window->show();
  const QImage& picture = window->controls().imgPreview->Picture();
  preview = std::make_unique<QImage>(filled({400, 300}, Qt::red));
  ASSERT_TRUE(waitFor([&] { return picture.pixelColor(200, 100) == QColor(Qt::red); }, 1000));
  for (int y : {0, 100, 198}) {
    EXPECT_EQ(picture.pixelColor(60, y), kBackground);
    EXPECT_EQ(picture.pixelColor(61, y), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(326, y), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(327, y), kBackground);
  }
  *preview = QImage();
  QTest::qWait(250);
  EXPECT_EQ(picture.pixelColor(200, 100), QColor(Qt::red));
  window->close();
}

class SnapshotTest : public ProgressWindowTest {
 protected:
  void SetUp() override {
    window = makeWindow();
    window->show();
  }
  void TearDown() override { window->close(); }
  void snapshotOf(QColor colour) {
    preview = std::make_unique<QImage>(filled({320, 240}, colour));
    click(window->controls().imgbtnSnap);
  }
  QStringList filesIn(const QString& folder) const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

  std::unique_ptr<TfrmProgress> window;
};

TEST_F(SnapshotTest, AllFlagsWriteFourFilesAndASecondSnapshotReplacesThem) {
  const QString folder = home.path() + "/clipforge/";  // the default snapshot folder
  snapshotOf(Qt::red);
  ASSERT_EQ(filesIn(folder), QStringList({"Snapshot_full.bmp", "Snapshot_full.jpg", "Snapshot_small.bmp",
                                          "Snapshot_small.jpg"}));
  EXPECT_EQ(QImageReader(folder + "Snapshot_full.bmp").size(), QSize(320, 240));
  EXPECT_EQ(QImageReader(folder + "Snapshot_small.bmp").size(), QSize(388, 199));
  EXPECT_EQ(QImageReader(folder + "Snapshot_full.jpg").format(), "jpeg");
  EXPECT_EQ(QImageReader(folder + "Snapshot_small.jpg").size(), QSize(388, 199));
  // The small picture is the preview as shown: the frame with the fill around it.
  const QImage small(folder + "Snapshot_small.bmp");
  EXPECT_EQ(small.pixelColor(10, 100), kBackground);
  EXPECT_EQ(small.pixelColor(194, 100), QColor(Qt::red));

  snapshotOf(Qt::blue);
  EXPECT_EQ(filesIn(folder).size(), 4);
  EXPECT_EQ(QImage(folder + "Snapshot_full.bmp").pixelColor(160, 120), QColor(Qt::blue));
  EXPECT_EQ(QImage(folder + "Snapshot_small.bmp").pixelColor(194, 100), QColor(Qt::blue));
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(SnapshotTest, FormatFlagsQualityAndFolderFromTheSettings) {
  const QString folder = home.path() + "/shots/new";  // created on demand
  writeSetting("snapOutPutDir", folder.toStdString());
  writeSetting("snapBmp", "0");
  writeSetting("snapJpg", "1");
  // A picture with detail, so that the JPEG quality shows in the file size.
  preview = std::make_unique<QImage>(320, 240, QImage::Format_RGB32);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) preview->setPixelColor(x, y, QColor((x * 7) % 256, (y * 13) % 256, (x * y) % 256));
  writeSetting("jpgCmp", "95");
  click(window->controls().imgbtnSnap);
  EXPECT_EQ(filesIn(folder), QStringList({"Snapshot_full.jpg", "Snapshot_small.jpg"}));
  const qint64 fine = QFileInfo(folder + "/Snapshot_full.jpg").size();

  writeSetting("jpgCmp", "5");
  writeSetting("snapSmallSize", "0");
  QFile::remove(folder + "/Snapshot_small.jpg");
  click(window->controls().imgbtnSnap);
  EXPECT_EQ(filesIn(folder), QStringList({"Snapshot_full.jpg"}));
  EXPECT_LT(QFileInfo(folder + "/Snapshot_full.jpg").size() * 3, fine);
}

TEST_F(SnapshotTest, NothingWithoutAPreviewAndAWarningWhenAFileCannotBeWritten) {
  click(window->controls().imgbtnSnap);
  EXPECT_TRUE(filesIn(home.path() + "/clipforge").isEmpty());

  // A folder in the place of one of the files.
  QDir().mkpath(home.path() + "/clipforge/Snapshot_full.jpg");
  snapshotOf(Qt::green);
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Warning");
  EXPECT_TRUE(prompts.asked[0].text.contains("Snapshot_full.jpg"));
  EXPECT_TRUE(QFileInfo::exists(home.path() + "/clipforge/Snapshot_small.jpg"));
}

TEST_F(ProgressWindowTest, TipsFitTheirAreaAndAClickOpensTheManual) {
  UrlRecorder opened("file");
  auto window = makeWindow();
  window->show();
  TTipsBanner* tips = window->controls().lblTips;
  for (int i = 0; i < tips->TipCount(); ++i) {
    tips->ShowTip(i);
    EXPECT_LE(tips->heightForWidth(tips->width()), tips->height()) << tips->text().toStdString();
  }
  QTest::mouseClick(tips, Qt::LeftButton);
  EXPECT_EQ(opened.urls, QList<QUrl>{product_links::manualUrl()});
  window->close();
}

// A real batch on a real engine, read at the source's pace so it is still
// running when the user acts. The batch end closes the window as the driver
// does, through the UI thread.
class RunningBatchTest : public ProgressWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine.LoadLibraries(""));
    engine.SetDispatcher(&dispatcher);
    window = makeWindow();
    engine.OnProgress = [this](TCustomMediaEngine*, TProgressInfo* info) {
      ++progressReports;
      window->RecordProgress(info->TaskIndex, info->CurrentDuration, info->TotalDuration);
    };
    engine.OnTerminate = [this](TCustomMediaEngine*, const TTerminateInfo& info) {
      {
        std::lock_guard lock(mutex);
        ends.push_back(info);
      }
      if (info.TaskIndex < 0) QMetaObject::invokeMethod(window.get(), [this] { window->close(); });
    };
  }
  void TearDown() override {
    engine.Stop(true);
    engine.OnTerminate = nullptr;
  }
  void startSlowBatch() {
    TOutputOptions slow;
    slow.VideoCodec = "mpeg4";
    slow.ExtOptions = "re=1";
    const int task = engine.AddTask(test_media::Path(test_media::Kind::Mp4H264Aac));
    ASSERT_GE(task, 0) << engine.LastErrorMessage();
    ASSERT_TRUE(engine.SetOutputFile(task, home.file(("slow" + std::to_string(++batches) + ".mp4").c_str()), &slow)) << engine.LastErrorMessage();
    progressReports = 0;
    window->show();
    ASSERT_TRUE(waitFor([&] { return progressReports > 0; }));
  }
  // Task 0 was stopped before its end, and the batch end followed.
  void expectStopped() {
    std::lock_guard lock(mutex);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].TaskIndex, 0);
    EXPECT_FALSE(ends[0].Finished);
    EXPECT_EQ(ends[1].TaskIndex, -1);
    ends.clear();
  }

  QtDispatcher dispatcher;
  std::unique_ptr<TfrmProgress> window;
  int progressReports = 0;
  int batches = 0;
  std::mutex mutex;
  std::vector<TTerminateInfo> ends;  // --- protected by mutex
};

TEST_F(RunningBatchTest, PauseResumeAndCancelStopTheEngine) {
  std::vector<bool> mirrored;
  QObject::connect(window.get(), &TfrmProgress::PauseStateChanged, [&](bool paused) { mirrored.push_back(paused); });
  startSlowBatch();
  const ProgressControls& ui = window->controls();
  EXPECT_TRUE(ui.btnPause->isEnabled());
  EXPECT_FALSE(ui.btnResume->isEnabled());

  click(ui.btnPause);
  EXPECT_FALSE(ui.btnPause->isEnabled());
  EXPECT_TRUE(ui.btnResume->isEnabled());
  const int reportsWhenPaused = progressReports;
  QTest::qWait(600);
  EXPECT_LE(progressReports - reportsWhenPaused, 1);
  click(ui.btnResume);
  EXPECT_TRUE(ui.btnPause->isEnabled());
  EXPECT_FALSE(ui.btnResume->isEnabled());
  click(ui.btnPause);
  EXPECT_EQ(mirrored, (std::vector<bool>{true, false, true}));

  // Cancel, while paused, returns once the engine has stopped; the batch
  // end's own close arrives during that stop and is no second stop.
  click(ui.btnCancel);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(ui.Timer1->isActive());
  expectStopped();
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(RunningBatchTest, EscapeStopsTheEngineToo) {
  startSlowBatch();
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  expectStopped();

  // The next batch starts when the window shows again.
  engine.ClearTasks();
  startSlowBatch();
  window->close();
  expectStopped();
}

}  // namespace
