// The job list of the main window, driven through its menus, buttons, mouse
// and drops, with real media files the engine opens.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "batch/ProgressTexts.h"
#include "engine/face/MediaEngine.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "jobs/JobListDelegate.h"
#include "testmedia/TestMedia.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"

namespace {

class JobListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<TfrmMain>();
    window->show();
  }
  void TearDown() override {
    window->SetSkipExitConfirmation(true);
    window->close();
  }

  // Copies of a generated clip under the given names in the home folder.
  QStringList sources(const QStringList& names) const {
    QStringList paths;
    for (const QString& name : names) {
      const QString path = home.path() + "/" + name;
      QFile::copy(QString::fromStdString(test_media::Path(test_media::Kind::Mp4H264Aac)), path);
      paths << path;
    }
    return paths;
  }
  void addThroughTheMenu(const QStringList& files) {
    prompts.queueFiles(files);
    window->menus().actAdd->trigger();
  }
  TJobList& jobs() { return window->Jobs(); }
  const MainControls& ui() { return window->controls(); }
  void clickRow(int row) {
    QTreeWidget* list = ui().lvFiles;
    const QRect cell = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  }

  TempHome home;
  ScriptedPrompts prompts;
  std::unique_ptr<TfrmMain> window;
};

TEST_F(JobListTest, AddShowsTheFilesWithTheirDestinationsOnce) {
  const QStringList files = sources({"a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4"});
  EXPECT_FALSE(ui().btnStart->isEnabled());
  addThroughTheMenu(files + QStringList{files[1], home.path(), home.path() + "/random.bin"});
  ASSERT_EQ(prompts.openRequests.size(), 1);
  const auto& filters = prompts.openRequests.front().filters;
  ASSERT_EQ(filters.size(), 36);
  EXPECT_EQ(filters[1].description, "All Supported Audio Formats");
  EXPECT_EQ(filters[20].description, "Maceomeida Flash files (*.swf)");
  EXPECT_EQ(filters[35].patterns, "*.*");

  ASSERT_EQ(jobs().Count(), 5);  // the second b.mp4, the folder and the unreadable file are left out
  for (int row = 0; row < 5; ++row) {
    SCOPED_TRACE(row);
    const QTreeWidgetItem* item = ui().lvFiles->topLevelItem(row);
    EXPECT_EQ(item->text(0), files[row]);
    EXPECT_EQ(item->text(1), "2");
    EXPECT_EQ(item->text(3), QString("abcde"[row]) + "_(new)_ipod.mp4");
    EXPECT_EQ(item->checkState(0), Qt::Checked);
    EXPECT_EQ(jobs().Record(row).ZoomMode, "lbox");
    EXPECT_EQ(jobs().Record(row).JobIndex, row);
  }
  EXPECT_EQ(jobs().SelectedRow(), 0);
  EXPECT_TRUE(ui().btnStart->isEnabled());
  EXPECT_TRUE(ui().btnRemove->isEnabled());
  EXPECT_EQ(window->Engine().TaskCount(), 0);

  // A second add of a listed file changes nothing.
  addThroughTheMenu({files[0]});
  EXPECT_EQ(jobs().Count(), 5);
}

// A title of 82 Japanese characters gives a destination longer than a file
// name may be: File › Add and Start must shorten it, not search for ever.
TEST_F(JobListTest, LongTitleGetsAShortenedDestinationAndConverts) {
  QString title;
  while (title.size() < 82) title += QString::fromUtf8("日本語のタイトル");
  title.truncate(82);
  const QStringList files = sources({title + ".mp4"});
  addThroughTheMenu(files);
  ASSERT_EQ(jobs().Count(), 1);
  const QString shown = ui().lvFiles->topLevelItem(0)->text(3);
  EXPECT_TRUE(shown.endsWith("_(new)_ipod.mp4")) << shown.toStdString();
  EXPECT_LE(shown.toUtf8().size(), 255);
  EXPECT_TRUE(title.startsWith(shown.left(20)));

  QTest::mouseClick(ui().btnStart, Qt::LeftButton);  // returns when the batch has ended
  EXPECT_EQ(jobs().ProgressText(0), "100%");
  const QStringList written = QDir(home.path() + "/clipforge").entryList(QDir::Files | QDir::Hidden);
  ASSERT_EQ(written.size(), 1) << written.join(" ").toStdString();
  EXPECT_TRUE(written[0].endsWith("_(new).mp4")) << written[0].toStdString();
  EXPECT_LE(written[0].toUtf8().size(), 255);
}

TEST_F(JobListTest, DestinationTakesTheFirstFreeNumber) {
  const QString folder = home.path() + "/clipforge";
  QDir().mkpath(folder);
  for (const char* name : {"clip_(new)_ipod.mp4", "clip_(new_1)_ipod.mp4"}) QFile(folder + "/" + name).open(QIODevice::WriteOnly);
  window->AddFiles(sources({"clip.avi"}));
  ASSERT_EQ(jobs().Count(), 1);
  EXPECT_EQ(ui().lvFiles->topLevelItem(0)->text(3), "clip_(new_2)_ipod.mp4");
  EXPECT_EQ(jobs().Record(0).DestinationPath, folder + "/clip_(new_2)_ipod.mp4");
}

TEST_F(JobListTest, RemovingMovesTheSelectionAndClearEmpties) {
  window->AddFiles(sources({"a.mp4", "b.mp4", "c.mp4", "d.mp4"}));
  clickRow(3);
  ui().btnRemove->click();
  ASSERT_EQ(jobs().Count(), 3);
  EXPECT_EQ(jobs().SelectedRow(), 2);  // the new last row
  clickRow(1);
  window->menus().actRemove->trigger();
  ASSERT_EQ(jobs().Count(), 2);
  EXPECT_EQ(jobs().SelectedRow(), 1);
  EXPECT_TRUE(jobs().Caption(1).endsWith("c.mp4"));  // the row that moved into its place
  ui().btnClear->click();
  EXPECT_EQ(jobs().Count(), 0);
  EXPECT_FALSE(ui().btnStart->isEnabled());
  EXPECT_FALSE(ui().btnRemove->isEnabled());
}

TEST_F(JobListTest, CheckMarksFollowTheMenuAndTheBox) {
  window->AddFiles(sources({"a.mp4", "b.mp4", "c.mp4"}));
  window->menus().actUncheckAll->trigger();
  EXPECT_EQ(jobs().CheckedCount(), 0);
  window->menus().actReverseCheck->trigger();
  EXPECT_EQ(jobs().CheckedCount(), 3);
  clickRow(1);
  window->menus().actUncheck->trigger();
  EXPECT_FALSE(jobs().IsChecked(1));
  window->menus().actCheck->trigger();
  EXPECT_TRUE(jobs().IsChecked(1));

  // A click on the drawn box toggles the mark; a click on the text does not.
  QTreeWidget* list = ui().lvFiles;
  const QRect cell = list->visualRect(list->model()->index(2, 0));
  const QPoint box = JobListDelegate::CheckBoxRect(cell).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
  EXPECT_FALSE(jobs().IsChecked(2));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_FALSE(jobs().IsChecked(2));
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_TRUE(jobs().IsChecked(2));

  // Nothing checked: Start does nothing and shows nothing.
  window->menus().actUncheckAll->trigger();
  ui().btnStart->click();
  EXPECT_EQ(window->Engine().TaskCount(), 0);
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(JobListTest, SelectedJobFillsTheStreamAndChapterControls) {
  window->AddFiles(sources({"a.mp4", "b.mp4"}));
  clickRow(1);
  EXPECT_FALSE(ui().cmbAudioLanguage->isEnabled());
  ASSERT_EQ(ui().cmbSubtitle->count(), 1);
  EXPECT_EQ(ui().cmbSubtitle->itemText(0), "Default");
  EXPECT_TRUE(ui().grpDvd->title().endsWith("b.mp4"));

  // A title with streams and three chapters, as a DVD job carries it.
  TlvFilesRecord& record = jobs().Record(0);
  record.DvdTitle.AudioCount = 2;
  record.DvdTitle.Audio[0].ID = 128;
  qstrcpy(record.DvdTitle.Audio[0].Description, "English AC3 2ch");
  record.DvdTitle.Audio[1].ID = 129;
  qstrcpy(record.DvdTitle.Audio[1].Description, "Deutsch AC3 6ch");
  record.DvdTitle.ChapterCount = 3;
  record.AudioTrackItem = 1;
  record.ChapterFrom = 3;
  record.ChapterTo = 3;
  clickRow(0);
  EXPECT_TRUE(ui().cmbAudioLanguage->isEnabled());
  EXPECT_EQ(ui().cmbAudioLanguage->itemText(0), "128  English AC3 2ch");
  EXPECT_EQ(ui().cmbAudioLanguage->currentIndex(), 1);
  ui().btnFromUp->click();  // at the last chapter it stays there
  EXPECT_EQ(ui().edtFrom->text(), "3");
  ui().btnToDown->click();
  ui().btnToDown->click();
  EXPECT_EQ(ui().edtTo->text(), "1");
  EXPECT_EQ(ui().edtFrom->text(), "1");  // "from" follows "to" down
  ui().btnToDown->click();  // at 1 it stays at 1
  EXPECT_EQ(record.ChapterTo, 1);
  ui().btnToUp->click();
  ui().btnFromUp->click();
  ui().btnFromUp->click();
  EXPECT_EQ(record.ChapterFrom, 3);
  EXPECT_EQ(record.ChapterTo, 3);  // "to" follows "from" up
}

TEST_F(JobListTest, DroppedFilesAndFoldersAreAdded) {
  const QStringList loose = sources({"one.mp4"});
  const QString folder = home.path() + "/drop";
  QDir().mkpath(folder);
  for (const char* name : {"b.MP4", "a.mp4", "notes.txt"})
    QFile::copy(QString::fromStdString(test_media::Path(test_media::Kind::Mp4H264Aac)), folder + "/" + name);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(loose[0]), QUrl::fromLocalFile(folder)});
  QWidget* viewport = ui().lvFiles->viewport();
  const QPoint at = viewport->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(viewport, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(viewport, &drop);
  ASSERT_EQ(jobs().Count(), 3);
  EXPECT_EQ(jobs().Caption(0), loose[0]);
  EXPECT_EQ(jobs().Caption(1), folder + "/a.mp4");  // the folder's media files in name order
  EXPECT_EQ(jobs().Caption(2), folder + "/b.MP4");
}

// Rows are drawn white and tinted in turn, the selection filled by focus.
TEST_F(JobListTest, RowsAreDrawnWithTheThemeTintAndTheSelection) {
  window->AddFiles(sources({"a.mp4", "b.mp4", "c.mp4"}));
  QTreeWidget* list = ui().lvFiles;
  auto colourAt = [&](int row) {
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    return list->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.center().y());
  };
  clickRow(0);
  window->activateWindow();
  list->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(colourAt(1), QColor(0xE2, 0xE6, 0xF6));  // odd row, "Default" theme
  EXPECT_EQ(colourAt(2), QColor(Qt::white));
  if (list->hasFocus()) {
    EXPECT_EQ(colourAt(0), QColor(0xB9, 0xCC, 0xEC));
  }
  ui().edDirectory->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(colourAt(0), QColor(0xE5, 0xEC, 0xF8));

  const TlvFilesRecord record;
  EXPECT_EQ(record.WaterMarkFont.pointSize(), 8);
  EXPECT_EQ(record.WaterMarkFontColor, QColor(Qt::black));
  EXPECT_EQ(record.ImageAlpha, 168);
  EXPECT_EQ(record.ImageBlendStyle, 1);
  EXPECT_EQ(record.Brightness, 255);
  EXPECT_EQ(record.Saturation, 255);
  EXPECT_FALSE(record.NeedsHook());
  TlvFilesRecord marked;
  marked.WaterMarkText = "(c)";
  EXPECT_TRUE(marked.NeedsHook());
}

TEST(ProgressTexts, PercentAndShortenedCaption) {
  EXPECT_EQ(ProgressPercent(1500000, 3000000), 50);
  EXPECT_EQ(ProgressPercent(4'000'000'000'000LL, 8'000'000'000'000LL), 50);  // no 32-bit overflow
  EXPECT_EQ(ProgressPercent(1500000, 0), -1);
  EXPECT_EQ(ProgressPercent(1500000, -1), -1);
  const QString sixty = "/home/user/videos/" + QString(38, 'x') + ".mpeg";
  ASSERT_EQ(sixty.size(), 61);
  const QString caption = sixty.mid(1);  // 60 characters
  EXPECT_EQ(ShortenedCaption(caption), caption.left(44) + ".." + ".mpeg");
  EXPECT_EQ(ShortenedCaption(QString(50, 'a')), QString(50, 'a'));
}

}  // namespace
