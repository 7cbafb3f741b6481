// The file information window: its texts, and what it shows for files with
// and without pictures or sound, opened from the Edit menu.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "editing/EditorTexts.h"
#include "editing/FileInfoRules.h"
#include "editing/FileInfoWindow.h"
#include "jobs/JobList.h"
#include "testmedia/MediaWriter.h"
#include "support/MainWindowFixture.h"
#include "TestDvd.h"

namespace {

TEST(FileInfoRules, NamesDurationsAndTheAudioCodec) {
  const QString path45 = "/" + QString(39, 'a') + ".mpeg";
  ASSERT_EQ(path45.size(), 45);
  EXPECT_EQ(FileInfoName(path45), path45);
  const QString path46 = "/" + QString(40, 'a') + ".mpeg";
  EXPECT_EQ(FileInfoName(path46), "/" + QString(39, 'a') + "...mpeg  ");
  EXPECT_EQ(SecondsText(5000000), "5.000 Second");
  EXPECT_EQ(SecondsText(83456789), "83.456 Second");
  EXPECT_EQ(AudioFormatOf("Input #0\n  Stream #0:0: Video: h264\n  Stream #0:1: Audio: mp3, 44100 Hz, stereo"), "mp3");
  EXPECT_EQ(AudioFormatOf("Stream #0:0: Audio: aac"), "aac") << "no comma after it";
  EXPECT_EQ(AudioFormatOf("Stream #0:0: Video: mpeg4, yuv420p"), "");
  EXPECT_EQ(FrameRateText(30000, 1001), "29.97");
  EXPECT_EQ(FrameRateText(25, 1), "25");
  EXPECT_EQ(FrameRateText(0, 0), "");
  EXPECT_EQ(TotalFramesText(2000000, 25, 1), "50");
}

class FileInfoWindow : public MainWindowFixture {
 protected:
  struct Shown {
    QString name, length, format, resolution, frameRate, totalFrames, audioFormat, sampleRate, channels;
  };

  // "File Information..." from the Edit menu on the selected job; the fields
  // as the window showed them before its "Ok" closed it.
  Shown ShowInfo() {
    Shown shown;
    std::function<void()> whenShown = [&] {
      auto* info = window.findChild<TfrmFileInfo*>();
      if (!info || !info->isVisible()) {
        QTimer::singleShot(20, whenShown);
        return;
      }
      const TfrmFileInfo::Controls& ui = info->controls();
      shown = {ui.lblSourceName->text(), ui.lblFileLength->text(), ui.edtFormat->text(),
               ui.edtResloution->text(), ui.edtFrameRate->text(),  ui.edtTotalFrame->text(),
               ui.edtAudioForamt->text(), ui.edtSampleRate->text(), ui.edtChannel->text()};
      QTest::mouseClick(ui.btnOk, Qt::LeftButton);
    };
    QTimer::singleShot(0, whenShown);
    QMenu* edit = window.menus().mnuEdit;
    WithinTime(30000, [&] {
      edit->popup(window.mapToGlobal(QPoint(0, 0)));
      if (!QTest::qWaitFor([&] { return edit->isVisible(); })) return;
      EXPECT_TRUE(window.menus().actFileInfo->isEnabled());
      QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(window.menus().actFileInfo).center());
    });
    return shown;
  }

  void AddFile(const char* name, const test_media::MediaSpec& spec) {
    const std::string path = home.file(name);
    test_media::WriteMedia(spec, path);
    window.Jobs().Clear();
    window.AddFiles({QString::fromStdString(path)});
    window.Jobs().Select(0);
  }
};

TEST_F(FileInfoWindow, ShowsPicturesAndSoundOfWhatTheFileHas) {
  Show();
  AddFile("both.mp4", {.muxer = "mp4",
                       .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 320, .height = 240},
                       .audio = test_media::AudioSpec{.encoder = "aac", .sampleRate = 48000, .channels = 2},
                       .seconds = 2});
  Shown shown = ShowInfo();
  EXPECT_TRUE(shown.name.endsWith("both.mp4") || shown.name.endsWith("..mp4  ")) << shown.name.toStdString();
  EXPECT_TRUE(shown.length.startsWith("2.0")) << shown.length.toStdString();
  EXPECT_TRUE(shown.format.contains("mp4")) << shown.format.toStdString();
  EXPECT_EQ(shown.resolution, "320x240");
  EXPECT_EQ(shown.frameRate, "25");
  EXPECT_EQ(shown.totalFrames, "50");
  EXPECT_TRUE(shown.audioFormat.startsWith("aac")) << shown.audioFormat.toStdString();
  EXPECT_EQ(shown.sampleRate, "48000");
  EXPECT_EQ(shown.channels, "2");

  AddFile("sound.m4a", {.muxer = "ipod", .audio = test_media::AudioSpec{.encoder = "aac"}, .seconds = 1});
  shown = ShowInfo();
  EXPECT_EQ(shown.resolution, "") << "no pictures, no picture fields";
  EXPECT_EQ(shown.frameRate, "");
  EXPECT_EQ(shown.sampleRate, "44100");

  AddFile("pictures.avi", {.muxer = "avi", .video = test_media::VideoSpec{.encoder = "mpeg4"}, .seconds = 1});
  shown = ShowInfo();
  EXPECT_EQ(shown.resolution, "176x144");
  EXPECT_EQ(shown.audioFormat, "") << "no sound, no sound fields";
  EXPECT_EQ(shown.channels, "");
}

TEST_F(FileInfoWindow, DvdTitleShowsItsStreams) {
  Show();
  OpenFolderOrImage(QString::fromStdString(test_dvd::Path(test_dvd::Disc::Folder)));
  ASSERT_EQ(window.Jobs().Count(), 3);
  window.Jobs().Select(2);
  const Shown shown = ShowInfo();
  EXPECT_EQ(shown.name, "DVD Title 3");
  EXPECT_EQ(shown.resolution, "720x480");
  EXPECT_EQ(shown.audioFormat, "mp2") << "the title's French MPEG audio";
}

}  // namespace
