// The main window's preview pane on real jobs: the buttons and marks while a
// job plays, pauses, stops and ends, seeking on the seek bar, volume and mute,
// snapshots, and Play on an empty list going through "Add DVD".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include "app/MainWindow.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "testmedia/TestMedia.h"
#include "player/MediaPlayer.h"
#include "support/MainWindowFixture.h"
#include "support/UrlRecorder.h"
#include "support/WaitFor.h"
#include "TestDvd.h"

namespace {

class PreviewPane : public MainWindowFixture {
 protected:
  void SetUp() override { settings.writeString("settings", "volume", "200"); }

  void AddClip() {
    window.AddFiles({QString::fromStdString(test_media::Path(test_media::Kind::Clip320))});
    ASSERT_EQ(window.Jobs().Count(), 1);
  }
  void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  // Play, Pause, Stop, Snapshot enabled as given.
  ::testing::AssertionResult Buttons(bool play, bool pause, bool stop, bool snap) {
    const MainControls& c = window.controls();
    const bool now[] = {c.imgbtnPlay->isEnabled(), c.imgbtnPAuse->isEnabled(), c.imgbtnStop->isEnabled(),
                        c.imgbtnSnap->isEnabled()};
    const bool wanted[] = {play, pause, stop, snap};
    if (std::equal(std::begin(now), std::end(now), std::begin(wanted))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "play/pause/stop/snap are " << now[0] << now[1] << now[2] << now[3];
  }

  bool Playing() {
    return waitFor([&] { return window.Player().Position() > 200000 && !window.Player().IsPaused(); });
  }

  // The clip as the only job, played and paused on a picture.
  void PausedOnTheClip() {
    Show();
    AddClip();
    Click(window.controls().imgbtnPlay);
    ASSERT_TRUE(Playing());
    Click(window.controls().imgbtnPAuse);
  }

  IniFile settings{home.settingsPath().toStdString()};
};

TEST_F(PreviewPane, ButtonsAndMarksFollowPlayPauseStopAndTheEnd) {
  Show();
  const MainControls& c = window.controls();
  EXPECT_EQ(c.trcVolume->value(), 64) << "a stored volume outside 0..128 shows 64";
  EXPECT_TRUE(Buttons(true, false, false, false));
  EXPECT_FALSE(c.trcPreview->isEnabled());
  AddClip();

  Click(c.imgbtnPlay);
  EXPECT_TRUE(Buttons(false, true, true, true));
  ASSERT_TRUE(Playing());
  EXPECT_EQ(window.Player().AudioVolume(), 64) << "the stored volume is applied at start";
  EXPECT_EQ(c.lblPTS->text(), "0:00:02");
  EXPECT_TRUE(c.trcPreview->isEnabled());
  EXPECT_TRUE(c.mmoLog->toPlainText().contains("frame size: 320x240"));
  EXPECT_TRUE(waitFor([&] { return c.lblTime->text().startsWith("00:00:00."); }));

  Click(c.imgbtnPAuse);
  EXPECT_TRUE(Buttons(true, false, true, true));
  EXPECT_TRUE(window.Player().IsPaused());
  Click(c.imgbtnPlay);  // resumes, does not open again
  EXPECT_TRUE(Buttons(false, true, true, true));
  EXPECT_FALSE(window.Player().IsPaused());

  Click(c.imgbtnStop);
  EXPECT_TRUE(Buttons(true, false, false, false));
  EXPECT_EQ(c.lblTime->text(), "00:00:00");
  EXPECT_EQ(c.lblPTS->text(), "00:00:00");
  EXPECT_FALSE(c.trcPreview->isEnabled());
  Click(c.imgbtnStop);  // nothing to stop
  EXPECT_TRUE(Buttons(true, false, false, false));

  // To the end: the player rests paused at the start, the pane shows stopped.
  Click(c.imgbtnPlay);
  ASSERT_TRUE(waitFor([&] { return c.imgbtnPlay->isEnabled(); }, 8000));
  EXPECT_TRUE(Buttons(true, false, false, false));
  EXPECT_TRUE(waitFor([&] { return window.Player().IsPaused(); }));
  EXPECT_TRUE(waitFor([&] { return window.Player().Position() < 200000; }, 3000)) << window.Player().Position();
}

// A release over the seek bar seeks to its share of the duration; the mute box
// and the volume slider reach the player and the settings.
TEST_F(PreviewPane, SeekBarVolumeAndMute) {
  PausedOnTheClip();
  const MainControls& c = window.controls();
  c.trcPreview->setValue(c.trcPreview->maximum() * 3 / 4);
  QTest::mouseRelease(c.trcPreview, Qt::LeftButton, {}, c.trcPreview->rect().center());
  EXPECT_TRUE(waitFor([&] { return window.Player().Position() > 1300000; }))
      << "at " << window.Player().Position();

  QTest::mouseClick(c.ckMute, Qt::LeftButton);
  EXPECT_TRUE(window.Player().Mute());
  EXPECT_EQ(settings.readInteger("settings", "mute", 0), 1);
  c.trcVolume->setFocus();
  QTest::keyClick(c.trcVolume, Qt::Key_End);
  EXPECT_EQ(window.Player().AudioVolume(), 128);
}

// Snapshot with every switch on: four pictures in the snapshot folder, the
// full one in the frame's size, the small one in the pane's, then the folder opens.
TEST_F(PreviewPane, SnapshotWritesTheFourPicturesAndOpensTheFolder) {
  const QString folder = home.path() + "/snaps";
  settings.writeString("settings", "SnapOutPutDir", folder.toStdString());
  UrlRecorder opened("file");
  PausedOnTheClip();
  const MainControls& c = window.controls();
  Click(c.imgbtnSnap);
  for (const char* name : {"Snapshot_full.bmp", "Snapshot_small.bmp", "Snapshot_full.jpg", "Snapshot_small.jpg"})
    EXPECT_TRUE(QFile::exists(folder + "/" + name)) << name;
  EXPECT_EQ(QImage(folder + "/Snapshot_full.bmp").size(), QSize(320, 240));
  EXPECT_EQ(QImage(folder + "/Snapshot_small.jpg").size(), c.pan1->size());
  ASSERT_EQ(opened.urls.size(), 1);
  EXPECT_EQ(QDir(opened.urls[0].toLocalFile()), QDir(folder));
}

// Play with no job opens "Add DVD"; once a DVD's titles are added, the first
// one plays through the plug-in.
TEST_F(PreviewPane, PlayOnAnEmptyListAddsADvdAndPreviewsIt) {
  Show();
  const MainControls& c = window.controls();
  Click(c.imgbtnPlay);
  QMenu* menu = window.menus().pmAddDVD;
  ASSERT_TRUE(waitFor([&] { return menu->isVisible(); }));
  prompts.queueDvd(QString::fromStdString(test_dvd::Path(test_dvd::Disc::Folder)));
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(window.menus().actAddDvdFolder).center());
  ASSERT_EQ(window.Jobs().Count(), 3);
  ASSERT_TRUE(Playing());
  EXPECT_EQ(c.lblPTS->text(), "0:00:03");
  EXPECT_TRUE(Buttons(false, true, true, true));
}

}  // namespace
