// The DVD controller and the preview pane on their own, over plain controls:
// a disc's titles as jobs, the stream and chapter choice, the one full
// "opendvd:" address the player and the engine both get, and Play on an
// empty list going through "Add DVD".
#include <gtest/gtest.h>

#include <QTest>

#include "disc/DvdController.h"
#include "dvd/OpenDvdString.h"
#include "frontend/ConversionBatch.h"
#include "jobs/JobList.h"
#include "media/Dispatcher.h"
#include "player/MediaPlayer.h"
#include "preview/PreviewPane.h"
#include "support/ControllerHost.h"
#include "support/DecodedFrames.h"
#include "support/WaitFor.h"
#include "TestDvd.h"

namespace {

struct ParsedAddress {
  std::string path;
  DvdParam param{};
  bool full = false;
};

ParsedAddress parse(const std::string& address) {
  ParsedAddress parsed;
  EXPECT_TRUE(ParseOpenDvdString(address, parsed.path, parsed.param, parsed.full)) << address;
  return parsed;
}

class DvdController : public ::testing::Test {
 protected:
  DvdController() {
    h.host.show();
    h.jobs->SetJobActionsEnabled(false);
  }

  void OpenIso() {
    h.prompts.queueDvd(iso);
    h.actAddDvdFolder->trigger();
    ASSERT_EQ(h.jobs->Jobs().Count(), 3);
  }

  ControllerHost h;
  TDvdController dvd{{h.BtnAddDVD, h.pmAddDVD, h.mnuAddDvdDriver, h.actAddDvdFolder, h.grpDvd, h.cmbAudioLanguage,
                      h.cmbSubtitle, h.edtFrom, h.edtTo, h.btnFromUp, h.btnFromDown, h.btnToUp, h.btnToDown,
                      h.btnDVDStart, h.btnStartBelow, h.list},
                     *h.jobs, h.context, nullptr};
  const QString iso = QString::fromStdString(test_dvd::Path(test_dvd::Disc::Iso));
};

// The choices of the selected title reach the address; the player's address
// covers the whole title, the engine's the chosen chapters (or the whole
// title for a trimmed job) with the deinterlacing the user chose.
TEST_F(DvdController, ChoicesOfTheSelectedTitleMakeOneFullAddress) {
  OpenIso();
  EXPECT_EQ(dvd.DvdDrivePath(), iso);
  EXPECT_TRUE(h.btnStart->isEnabled());
  EXPECT_EQ(h.grpDvd->title(), "DVD Title 1");
  ASSERT_EQ(h.cmbAudioLanguage->count(), 2);
  h.cmbAudioLanguage->setCurrentIndex(1);  // German
  QTest::mouseClick(h.btnFromUp, Qt::LeftButton);
  EXPECT_EQ(h.edtFrom->text(), "2");
  h.Settings().writeString("settings", "deinterlace", "always");

  TlvFilesRecord& record = h.jobs->Jobs().Record(0);
  const ParsedAddress player = parse(dvd.SourceOf(record, 0, record.DvdTitle.ChapterCount));
  EXPECT_TRUE(player.full);
  EXPECT_EQ(player.path, iso.toStdString());
  EXPECT_EQ(player.param.Title, 0);
  EXPECT_EQ(player.param.AudioID, 0x81);
  EXPECT_EQ(player.param.FromChapter, 0);
  EXPECT_EQ(player.param.ToChapter, 3);

  DvdTitleInfo title;
  std::string address;
  ASSERT_TRUE(dvd.TaskSource(record, title, address));
  const ParsedAddress engine = parse(address);
  EXPECT_EQ(engine.path, iso.toStdString());
  EXPECT_EQ(engine.param.AudioID, 0x81);
  EXPECT_EQ(engine.param.FromChapter, 2);
  EXPECT_EQ(engine.param.ToChapter, 3);
  EXPECT_NE(engine.param.Deinterlace, 0);
  EXPECT_EQ(title.ChapterCount, 3);

  record.TrimStart = 500000;
  ASSERT_TRUE(dvd.TaskSource(record, title, address));
  EXPECT_EQ(parse(address).param.FromChapter, 0);
  EXPECT_EQ(parse(address).param.ToChapter, 99);

  // The file for a file job is its source.
  TlvFilesRecord file;
  file.SourcePath = QStringLiteral("/videos/a.mp4");
  EXPECT_EQ(dvd.SourceOf(file, 0, 99), "/videos/a.mp4");
}

// The engine converts what the address names: chapters 2 and 3 of title 1
// (1.2 + 0.6 s), not the whole title.
TEST_F(DvdController, EngineConvertsTheChaptersTheAddressNames) {
  OpenIso();
  QTest::mouseClick(h.btnFromUp, Qt::LeftButton);
  TlvFilesRecord& record = h.jobs->Jobs().Record(0);
  DvdTitleInfo title;
  std::string address;
  ASSERT_TRUE(dvd.TaskSource(record, title, address));

  ASSERT_TRUE(h.engine.LoadLibraries(""));
  std::atomic<bool> ended{false};
  ConversionBatch batch(h.engine, {});
  batch.Begin({200, h.Settings(), h.context.catalogue(), h.home.file("out"), nullptr});
  std::filesystem::create_directories(h.home.file("out"));
  ASSERT_EQ(batch.AddDvdTitle(0, "DVD Title 1", address, title, TaskJobOf(record)), 0);
  h.engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    if (info.TaskIndex < 0) ended = true;
  };
  h.engine.StartTask(1);
  ASSERT_TRUE(waitFor([&] { return ended.load(); }, 60000));
  h.engine.OnTerminate = nullptr;
  double last = -1;
  ForEachDecodedFrame(batch.Destination(0), AVMEDIA_TYPE_VIDEO, [&](const AVFrame&, double seconds) { last = seconds; });
  EXPECT_NEAR(last, 1.8, 0.2);
}

// A protected disc's fake titles stay listed but unchecked, each saying why;
// the main feature is selected, so its streams and chapters show. An ordinary
// disc keeps every title checked and selects its main feature, title 1.
TEST_F(DvdController, FakeTitlesAreLeftUncheckedAndTheMainFeatureSelected) {
  h.prompts.queueDvd(QString::fromStdString(test_dvd::Path(test_dvd::Disc::Protected)));
  h.actAddDvdFolder->trigger();
  TJobList& jobs = h.jobs->Jobs();
  ASSERT_EQ(jobs.Count(), test_dvd::kProtectedTitleCount);
  const int mainRow = test_dvd::kProtectedMainTitle - 1, bonusRow = test_dvd::kProtectedBonusTitle - 1;
  EXPECT_EQ(jobs.SelectedRow(), mainRow);
  EXPECT_EQ(h.grpDvd->title(), "DVD Title " + QString::number(test_dvd::kProtectedMainTitle));
  EXPECT_EQ(h.edtTo->text(), "4");
  EXPECT_EQ(jobs.CheckedCount(), 2);
  EXPECT_TRUE(jobs.IsChecked(mainRow));
  EXPECT_TRUE(jobs.IsChecked(bonusRow));
  EXPECT_TRUE(jobs.RowNote(mainRow).isEmpty());
  EXPECT_EQ(jobs.RowNote(0), "Left unchecked: repeats the cells of title 4");
  EXPECT_EQ(jobs.RowNote(1), "Left unchecked: plays the same part 4 times");
  EXPECT_TRUE(jobs.RowNote(2).startsWith("Left unchecked: implausible length 8:00:")) << jobs.RowNote(2).toStdString();
  for (int row = 0; row < jobs.Count(); ++row)
    EXPECT_EQ(jobs.RowNote(row).isEmpty(), row == mainRow || row == bonusRow) << "row " << row;

  OpenIso();
  EXPECT_EQ(jobs.CheckedCount(), 3);
  EXPECT_EQ(jobs.SelectedRow(), 0);
  for (int row = 0; row < jobs.Count(); ++row) EXPECT_TRUE(jobs.RowNote(row).isEmpty()) << "row " << row;
}

// Play on an empty list opens "Add DVD"; once a disc was added its first title
// plays in the pane, from the same full address. Another player's claim stops it.
TEST_F(DvdController, PlayOnAnEmptyListAddsADiscAndPlaysItsFirstTitle) {
  TPreviewPane pane({h.pan1, h.trcPreview, h.lblTime, h.lblPTS, h.imgbtnPlay, h.imgbtnPAuse, h.imgbtnStop,
                     h.imgbtnSnap, h.ckMute, h.trcVolume, h.list, h.mmoLog},
                    h.jobs->Jobs(), &h.dispatcher,
                    [this](const TlvFilesRecord& record, int toChapter) { return dvd.SourceOf(record, 0, toChapter); },
                    h.context, nullptr);
  QObject::connect(&pane, &TPreviewPane::sourceWanted, &dvd, &TDvdController::AddThenPlay);
  QObject::connect(&dvd, &TDvdController::playRequested, &pane, &TPreviewPane::imgbtnPlayClick);

  QTest::mouseClick(h.imgbtnPlay, Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return h.pmAddDVD->isVisible(); }));
  h.pmAddDVD->close();
  h.prompts.queueDvd(iso);
  h.actAddDvdFolder->trigger();
  ASSERT_EQ(h.jobs->Jobs().Count(), 3);
  ASSERT_TRUE(waitFor([&] { return pane.Player().Position() > 300000; })) << h.mmoLog->toPlainText().toStdString();
  EXPECT_TRUE(h.imgbtnStop->isEnabled());
  EXPECT_NE(h.lblPTS->text(), "00:00:00");

  int editorStops = 0;
  pane.Arbiter().Claim(&editorStops, [&] { ++editorStops; });
  EXPECT_TRUE(h.imgbtnPlay->isEnabled());
  EXPECT_FALSE(h.imgbtnStop->isEnabled());
  EXPECT_EQ(h.lblTime->text(), "00:00:00");
  QTest::mouseClick(h.imgbtnPlay, Qt::LeftButton);  // the pane claims back: the other player stops
  EXPECT_EQ(editorStops, 1);
  QTest::mouseClick(h.imgbtnStop, Qt::LeftButton);
}

}  // namespace
