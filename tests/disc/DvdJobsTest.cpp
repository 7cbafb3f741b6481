// DVD titles in the real main window: "Add DVD" with its drive items and its
// folder or image item, the title rows, the stream and chapter controls, and
// the DVD start converting the checked titles through the progress window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "disc/DvdController.h"
#include "disc/DvdDrives.h"
#include "engine/face/MediaEngine.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "jobs/JobListDelegate.h"
#include "support/DecodedFrames.h"
#include "support/MainWindowFixture.h"
#include "TestDvd.h"
#include "ui/DvdChooser.h"
#include "ui/DvdSourcePath.h"

namespace {

using test_dvd::Disc;

QString discPath(Disc disc) { return QString::fromStdString(test_dvd::Path(disc)); }

// Drives that stand in for this machine's: each drive's node is a DVD image or
// folder, so the plug-in really reads it.
class FakeDrives : public DvdDriveAccess {
 public:
  FakeDrives() { setDvdDrives(this); }
  ~FakeDrives() override { setDvdDrives(nullptr); }
  QList<DvdDriveItem> Drives() override { return drives; }
  bool HasDisc(const QString&) override { return hasDisc; }
  bool NeedsDescrambler(const QString&) override { return scrambled; }

  QList<DvdDriveItem> drives;
  bool hasDisc = true;
  bool scrambled = false;
};

struct VideoSummary {
  int width = 0, height = 0, frames = 0;
  double last = -1;  // time of the last picture, seconds
};

VideoSummary videoOf(const QString& path) {
  VideoSummary video;
  ForEachDecodedFrame(path.toStdString(), AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double seconds) {
    video.width = frame.width;
    video.height = frame.height;
    ++video.frames;
    video.last = seconds;
  });
  return video;
}

class DvdJobs : public MainWindowFixture {
 protected:
  void SetUp() override {
    // 3GP, H.263 176x144 + AAC, in stereo so that the first channel carries the track's own tone.
    IniFile settings(home.settingsPath().toStdString());
    settings.writeString("settings", "FormatCode", "200");
    settings.writeString("formatInfo200", "paraChannel", "2");
  }

  QTreeWidget* list() { return window.controls().lvFiles; }

  void ClickRow(int row) {
    QTreeWidgetItem* item = list()->topLevelItem(row);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(item).center());
  }

  // Moves the combo's choice down by `steps` with the keyboard.
  static void ChooseBelow(QComboBox* combo, int steps) {
    combo->setFocus();
    for (int i = 0; i < steps; ++i) QTest::keyClick(combo, Qt::Key_Down);
  }

  // The DVD start; returns when the batch has ended.
  void StartDvd() {
    WithinTime(300000, [&] { QTest::mouseClick(window.controls().btnDVDStart, Qt::LeftButton); });
  }

  QString Output(const char* name) const { return home.path() + "/clipforge/" + name; }

  QStringList Captions() {
    QStringList captions;
    for (int row = 0; row < window.Jobs().Count(); ++row) captions << window.Jobs().Caption(row);
    return captions;
  }

  FakeDrives drives;  // the window discovers drives when it is shown
};

// The whole road on the folder and on its image: open, choose the German track
// of title 2 and chapters 2-3 of title 1, leave title 3 out, start.
class DvdJobsRoad : public DvdJobs, public ::testing::WithParamInterface<Disc> {};

TEST_P(DvdJobsRoad, ConvertsTheCheckedTitlesWithTheChosenStreamsAndChapters) {
  Show();
  OpenFolderOrImage(discPath(GetParam()));
  ASSERT_EQ(Captions(), QStringList({"DVD Title 1", "DVD Title 2", "DVD Title 3"}));
  EXPECT_TRUE(prompts.asked.isEmpty());
  EXPECT_EQ(list()->headerItem()->text(1), "Duration");
  EXPECT_EQ(list()->headerItem()->text(4), "Video Format");
  QTreeWidgetItem* first = list()->topLevelItem(0);
  EXPECT_EQ(first->text(1), "   0:00:03");
  EXPECT_EQ(first->text(2), "   0:00:03");
  EXPECT_EQ(first->text(3), "   720 x 576");
  EXPECT_EQ(first->text(4), "   MPEG-2");
  EXPECT_EQ(list()->topLevelItem(2)->text(3), "   720 x 480");
  EXPECT_EQ(window.Jobs().SelectedRow(), 0);
  const MainControls& c = window.controls();
  EXPECT_EQ(c.cmbAudioLanguage->count(), 2);
  EXPECT_EQ(c.cmbAudioLanguage->currentText(), "128  English AC3 2ch");
  EXPECT_EQ(c.cmbSubtitle->itemText(c.cmbSubtitle->count() - 1), "Default");

  ClickRow(1);
  ChooseBelow(c.cmbAudioLanguage, 1);
  EXPECT_EQ(window.Jobs().Record(1).AudioStreamId, 0x81);
  ChooseBelow(c.cmbSubtitle, 1);  // "Default": no subtitle
  EXPECT_EQ(window.Jobs().Record(1).SubtitleStreamId, 0);

  ClickRow(0);
  EXPECT_EQ(c.cmbAudioLanguage->currentIndex(), 0) << "title 1 keeps its own choice";
  QTest::mouseClick(c.btnFromUp, Qt::LeftButton);
  EXPECT_EQ(c.edtFrom->text(), "2");
  EXPECT_EQ(c.edtTo->text(), "3");

  const QRect cell = list()->visualRect(list()->model()->index(2, 0));
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, JobListDelegate::CheckBoxRect(cell).center());
  ASSERT_FALSE(window.Jobs().IsChecked(2));
  ClickRow(1);
  EXPECT_EQ(c.cmbAudioLanguage->currentIndex(), 1) << "the stored choice is shown again";
  EXPECT_EQ(c.cmbSubtitle->currentText(), "Default");

  StartDvd();
  const VideoSummary chapters = videoOf(Output("DVD Title 1_(new).3gp"));
  EXPECT_NEAR(chapters.last, 1.8, 0.1) << "chapters 2 and 3 last 1.8 s";
  EXPECT_EQ(chapters.width, 176);
  EXPECT_EQ(chapters.height, 144);
  EXPECT_NEAR(ToneFrequency(Output("DVD Title 1_(new).3gp").toStdString()), test_dvd::kEnglishHz, 15);
  const VideoSummary german = videoOf(Output("DVD Title 2_(new).3gp"));
  EXPECT_NEAR(german.last, 3.0, 0.15);
  EXPECT_NEAR(ToneFrequency(Output("DVD Title 2_(new).3gp").toStdString()), test_dvd::kGermanHz, 15);
  EXPECT_FALSE(QFile::exists(Output("DVD Title 3_(new).3gp")));
  EXPECT_EQ(window.Jobs().ProgressText(0), "100%");
  EXPECT_EQ(window.Jobs().ProgressText(1), "100%");
  EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.asked.value(0).text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(FolderAndImage, DvdJobsRoad, ::testing::Values(Disc::Folder, Disc::Iso));

// An invalid title is named and skipped; the rows keep the disc's numbering, so
// the row "DVD Title 3" converts the disc's third title (French audio).
TEST_F(DvdJobs, InvalidTitlesAreSkippedAndTheOthersKeepTheirNumbers) {
  Show();
  OpenFolderOrImage(discPath(Disc::BadChapterTable));
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Warning");
  EXPECT_EQ(prompts.asked[0].text, "Title #1 is invalid");
  ASSERT_EQ(Captions(), QStringList({"DVD Title 2", "DVD Title 3"}));
  EXPECT_EQ(window.Jobs().Record(1).JobIndex, 2);
  window.Jobs().SetChecked(0, false);
  StartDvd();
  EXPECT_NEAR(ToneFrequency(Output("DVD Title 3_(new).3gp").toStdString()), test_dvd::kFrenchHz, 15);
  EXPECT_FALSE(QFile::exists(Output("DVD Title 2_(new).3gp")));
}

// A title without audio: the audio combo is disabled, the job asks for no
// audio stream, and the 16:9 title beside it is letterboxed by its display
// aspect (176x144 holds a 176x100 picture between bars).
TEST_F(DvdJobs, TitleWithoutAudioAndWideTitleConvert) {
  Show();
  OpenFolderOrImage(discPath(Disc::Wide));
  ASSERT_EQ(window.Jobs().Count(), 3);
  ClickRow(2);
  EXPECT_FALSE(window.controls().cmbAudioLanguage->isEnabled());
  EXPECT_EQ(window.controls().cmbAudioLanguage->count(), 0);
  EXPECT_EQ(window.Jobs().Record(2).AudioStreamId, 0);
  window.Jobs().SetChecked(1, false);
  StartDvd();
  EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.asked.value(0).text.toStdString();
  const QString silent = Output("DVD Title 3_(new).3gp");
  EXPECT_NEAR(videoOf(silent).last, 2.4, 0.15);
  EXPECT_EQ(ToneFrequency(silent.toStdString()), -1) << "no audio stream";
  int top = -1, bottom = -1;  // the picture's first and last lines brighter than the bars
  ForEachDecodedFrame(Output("DVD Title 1_(new).3gp").toStdString(), AVMEDIA_TYPE_VIDEO,
                      [&](const AVFrame& frame, double) {
                        if (top >= 0) return;
                        for (int y = 0; y < frame.height; ++y) {
                          const std::uint8_t luma = frame.data[0][y * frame.linesize[0] + frame.width / 2];
                          if (luma > 40 && top < 0) top = y;
                          if (luma > 40) bottom = y;
                        }
                      });
  EXPECT_NEAR(top, 22, 2);
  EXPECT_NEAR(bottom, 121, 2);
}

// CIF titles, whose IFO resolution field dvdauthor and libdvdread read
// differently, are fitted by the stream's picture size and convert; the
// protected disc's fakes stay out of the batch.
TEST_F(DvdJobs, CifTitlesConvertIntoALetterboxedFrame) {
  Show();
  OpenFolderOrImage(discPath(Disc::Protected));
  ASSERT_EQ(window.Jobs().Count(), test_dvd::kProtectedTitleCount);
  StartDvd();
  EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.asked.value(0).text.toStdString();
  const VideoSummary main = videoOf(Output("DVD Title 4_(new).3gp"));
  EXPECT_EQ(main.width, 176);
  EXPECT_EQ(main.height, 144);
  EXPECT_NEAR(main.last, test_dvd::kProtectedMainSeconds, 0.2);
  EXPECT_NEAR(videoOf(Output("DVD Title 5_(new).3gp")).last, test_dvd::kProtectedBonusSeconds, 0.2);
  EXPECT_FALSE(QFile::exists(Output("DVD Title 6_(new).3gp"))) << "a fake title was converted";
}

// A job trimmed to start 1 s in reads the whole title from there.
TEST_F(DvdJobs, TrimmedJobReadsTheWholeTitleFromItsStart) {
  Show();
  OpenFolderOrImage(discPath(Disc::Folder));
  ASSERT_EQ(window.Jobs().Count(), 3);
  window.Jobs().SetChecked(1, false);
  window.Jobs().SetChecked(2, false);
  TlvFilesRecord& record = window.Jobs().Record(0);
  record.ChapterFrom = record.ChapterTo = 2;  // not used once trimmed
  record.TrimStart = 1000000;
  StartDvd();
  EXPECT_NEAR(videoOf(Output("DVD Title 1_(new).3gp")).last, 2.0, 0.15);
}

// Drives: the menu lists them with their labels; a drive without a disc, a
// scrambled disc without the descrambler, a place that is no DVD and a missing
// place each get their message and leave the list empty.
TEST_F(DvdJobs, DrivesAndTheMessagesOfDiscsThatCannotBeRead) {
  drives.drives = {{discPath(Disc::Iso), QStringLiteral("OXBEL_TEST")}};
  Show();
  QMenu* driveMenu = window.menus().mnuAddDvdDriver;
  ASSERT_EQ(driveMenu->actions().size(), 1);
  EXPECT_TRUE(driveMenu->menuAction()->isEnabled());
  QAction* drive = driveMenu->actions()[0];
  EXPECT_EQ(drive->text(), discPath(Disc::Iso) + ":OXBEL_TEST");

  ClickAddDvdItem(driveMenu, drive);
  EXPECT_EQ(window.Jobs().Count(), 3);
  EXPECT_EQ(window.Dvd().DvdDrivePath(), discPath(Disc::Iso));

  drives.hasDisc = false;
  ClickAddDvdItem(driveMenu, drive);
  EXPECT_EQ(window.Jobs().Count(), 0) << "opening a drive replaces the jobs";
  drives.hasDisc = true;
  drives.scrambled = true;
  ClickAddDvdItem(driveMenu, drive);
  OpenFolderOrImage(home.path());
  OpenFolderOrImage(home.path() + "/missing");
  ASSERT_EQ(prompts.asked.size(), 4);
  EXPECT_EQ(prompts.asked[0].text, "Can't find a DVD Disk!");
  EXPECT_EQ(prompts.asked[0].caption, "Warning");
  EXPECT_EQ(prompts.asked[1].text, "This DVD is encrypted. Install libdvdcss to read it.");
  EXPECT_EQ(prompts.asked[2].text, "No DVD title(s) found. Maybe not a valid DVD.");
  EXPECT_EQ(prompts.asked[2].caption, "Message");
  EXPECT_EQ(prompts.asked[3].text, "Can't find a DVD Disk!");
  EXPECT_EQ(window.Jobs().Count(), 0);
  EXPECT_FALSE(window.controls().cmbAudioLanguage->isEnabled());
}

// A machine without optical drives shows the drive submenu disabled.
TEST_F(DvdJobs, NoDrivesDisableTheDriveSubmenu) {
  Show();
  EXPECT_TRUE(window.menus().mnuAddDvdDriver->actions().isEmpty());
  EXPECT_FALSE(window.menus().mnuAddDvdDriver->menuAction()->isEnabled());
  EXPECT_TRUE(window.menus().actAddDvdFolder->isEnabled());
}

// "Open" on a DVD folder in the chooser chooses it rather than entering it; on
// an ordinary folder it enters it.
TEST(DvdSources, ChooserTakesADvdFolderOnOpen) {
  QTemporaryDir places;
  QDir(places.path()).mkpath("Holiday DVD/VIDEO_TS");
  QDir(places.path()).mkpath("other");
  QFile ifo(places.path() + "/Holiday DVD/VIDEO_TS/VIDEO_TS.IFO");
  ASSERT_TRUE(ifo.open(QIODevice::WriteOnly));
  ifo.close();
  TDvdChooser chooser(nullptr, places.path());
  chooser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
  auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(name, nullptr);
  name->setFocus();
  QTest::keyClicks(name, QStringLiteral("other"));
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_TRUE(chooser.isVisible()) << "an ordinary folder is entered";
  EXPECT_TRUE(QTest::qWaitFor([&] { return chooser.directory().dirName() == "other"; }));
  chooser.setDirectory(places.path());
  name->clear();
  QTest::keyClicks(name, QStringLiteral("Holiday DVD"));
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  EXPECT_EQ(chooser.ChosenPath(), places.path() + "/Holiday DVD");
}

// What the chooser turns a picked place into, and the image's volume name.
TEST(DvdSources, PickedPlacesAndVolumeNames) {
  const QString folder = discPath(Disc::Folder), image = discPath(Disc::Iso);
  EXPECT_EQ(DvdSourcePath(folder), QDir(folder).absolutePath());
  EXPECT_EQ(DvdSourcePath(folder + "/VIDEO_TS"), QDir(folder).absolutePath());
  EXPECT_EQ(DvdSourcePath(folder + "/VIDEO_TS/VIDEO_TS.IFO"), QDir(folder).absolutePath());
  EXPECT_EQ(DvdSourcePath(image), image);
  EXPECT_EQ(DvdSourcePath(folder + "/VIDEO_TS/VTS_01_1.VOB"), "");
  EXPECT_EQ(DvdSourcePath(QDir::tempPath()), "");
  EXPECT_EQ(VolumeLabel(image), "OXBEL_TEST");
  EXPECT_EQ(VolumeLabel(folder + "/VIDEO_TS/VIDEO_TS.IFO"), "");
}

}  // namespace
