// The trim editor: the rules of its "Ok", and the whole road through the real
// dialog: mark 1 s to 3 s of a clip while watching it, convert, and find that
// part in the output.
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "editing/CropWindow.h"
#include "editing/TrimRules.h"
#include "editing/TrimWindow.h"
#include "editing/WaterMarkWindow.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "testmedia/MediaWriter.h"
#include "player/MediaPlayer.h"
#include "preview/SeekBar.h"
#include "support/DecodedFrames.h"
#include "support/MainWindowFixture.h"
#include "support/WaitFor.h"

namespace {

constexpr std::int64_t kSecond = 1000000;

TEST(TrimRules, OkStoresAProperPartOrTheWholeSource) {
  const TrimChoice part = ChooseTrim(10 * kSecond, 30 * kSecond, 60 * kSecond);
  EXPECT_EQ(part.trimStart, 10 * kSecond);
  EXPECT_EQ(part.trimLength, 20 * kSecond);
  EXPECT_EQ(TrimRowText(part.shownLength), "   0:00:20");

  const TrimChoice whole = ChooseTrim(0, 60 * kSecond, 60 * kSecond);
  EXPECT_EQ(whole.trimStart, 0);
  EXPECT_EQ(whole.trimLength, 0);
  EXPECT_EQ(TrimRowText(whole.shownLength), "   0:01:00");

  const TrimChoice backwards = ChooseTrim(30 * kSecond, 10 * kSecond, 60 * kSecond);
  EXPECT_EQ(backwards.trimStart, 30 * kSecond) << "from the start to the end of the source";
  EXPECT_EQ(backwards.trimLength, 0);
  EXPECT_EQ(backwards.shownLength, 60 * kSecond);

  EXPECT_EQ(ChooseTrim(0, 60 * kSecond - 999, 60 * kSecond).trimLength, 0) << "ends within 1 ms of the end";
  EXPECT_EQ(ChooseTrim(5 * kSecond, 5 * kSecond + 999, 60 * kSecond).trimLength, 0) << "under 1 ms";
  EXPECT_EQ(ChooseTrim(0, 0, 0).trimLength, 0);
  EXPECT_EQ(TrimRowText(3909 * kSecond), "   1:05:09");
}

// The test pattern moves: a coarse grid of luma samples over the picture
// tells which source picture an output picture shows, whatever its size.
using Signature = std::vector<int>;

std::vector<Signature> signaturesOf(const std::string& path) {
  constexpr int kColumns = 24, kRows = 18;
  std::vector<Signature> frames;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    Signature samples;
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column) {
        const int x = (2 * column + 1) * frame.width / (2 * kColumns), y = (2 * row + 1) * frame.height / (2 * kRows);
        samples.push_back(frame.data[0][y * frame.linesize[0] + x]);
      }
    frames.push_back(samples);
  });
  return frames;
}

int closestFrame(const std::vector<Signature>& frames, const Signature& picture) {
  const auto distance = [&](const Signature& other) {
    long sum = 0;
    for (size_t i = 0; i < picture.size(); ++i) sum += std::abs(picture[i] - other[i]);
    return sum;
  };
  int best = 0;
  for (int i = 1; i < int(frames.size()); ++i)
    if (distance(frames[size_t(i)]) < distance(frames[size_t(best)])) best = i;
  return best;
}

class TrimEditor : public MainWindowFixture {
 protected:
  // Seeks the dialog's player by its seek bar and waits for the picture there.
  static bool SeekTo(TfrmTrim& trim, double share, std::int64_t expected) {
    QSlider* bar = trim.controls().trcPreview;
    bar->setValue(int(bar->maximum() * share));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->rect().center());
    return waitFor([&] { return std::llabs(trim.Player().Position() - expected) < 20000; }, 5000);
  }
};

TEST_F(TrimEditor, MarkedPartIsWhatConverts) {
  // Every picture a key frame, so a seek shows the picture at the time asked for.
  const std::string clip = home.file("clip.mp4");
  test_media::WriteMedia({.muxer = "mp4",
                          .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 320, .height = 240, .gopSize = 1},
                          .seconds = 4},
                         clip);
  IniFile settings(home.settingsPath().toStdString());
  settings.writeString("settings", "FormatCode", "200");
  settings.writeString("formatInfo200", "parazoom", "full");  // the whole picture, stretched
  Show();
  window.AddFiles({QString::fromStdString(clip)});
  ASSERT_EQ(window.Jobs().Count(), 1);

  // Once the dialog plays the clip: mark 1 s and 3 s on the seek bar, then Ok.
  bool marked = false;
  WhenPlaying<TfrmTrim>([&](TfrmTrim& dialog) {
    TfrmTrim* trim = &dialog;
    QTest::mouseClick(trim->controls().imgbtnPause, Qt::LeftButton);
    ASSERT_TRUE(SeekTo(*trim, 0.25, 1 * kSecond));
    QTest::mouseClick(trim->controls().btnSetStart, Qt::LeftButton);
    ASSERT_TRUE(SeekTo(*trim, 0.75, 3 * kSecond));
    QTest::mouseClick(trim->controls().btnSetEnd, Qt::LeftButton);
    EXPECT_EQ(trim->controls().edtStart->text(), "00:00:01.000");
    EXPECT_EQ(trim->controls().edtLength->text(), "00:00:02.000");
    TSeekBar* bar = trim->controls().trcPreview;
    EXPECT_NEAR(bar->SelStart(), bar->maximum() / 4, 1) << "the marked part shows on the seek bar";
    EXPECT_NEAR(bar->SelEnd(), bar->maximum() * 3 / 4, 1);
    marked = true;
    QTest::mouseClick(trim->controls().btnOk, Qt::LeftButton);
  });
  window.Jobs().Select(0);
  QTest::mouseClick(window.controls().BtnEdit, Qt::LeftButton);  // the job popup
  QMenu* popup = window.menus().pmFiles;
  ASSERT_TRUE(waitFor([&] { return popup->isVisible(); }));
  WithinTime(120000, [&] {
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(window.menus().popTrim).center());
  });
  ASSERT_TRUE(marked);

  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_EQ(record.TrimStart, 1 * kSecond);
  EXPECT_EQ(record.TrimLength, 2 * kSecond);
  EXPECT_EQ(window.Jobs().TrimText(0), "   0:00:02");

  WithinTime(300000, [&] { QTest::mouseClick(window.controls().btnStart, Qt::LeftButton); });  // the batch
  const std::string output = (home.path() + "/clipforge/clip_(new).3gp").toStdString();
  const std::vector<Signature> converted = signaturesOf(output);
  ASSERT_FALSE(converted.empty());
  EXPECT_NEAR(double(converted.size()) / 15, 2.0, 0.15) << "2 s at the format's 15 frames per second";
  EXPECT_NEAR(closestFrame(signaturesOf(clip), converted.front()), 25, 1) << "starts with the picture at 1 s";
}

}  // namespace

namespace {

// The three editors play the job's source deinterlaced as Tools › Preference
// says, like the preview pane and the conversion.
TEST_F(TrimEditor, EditorsDeinterlaceAsChosen) {
  const std::string clip = home.file("clip.mp4");
  test_media::WriteMedia({.muxer = "mp4", .video = test_media::VideoSpec{.encoder = "mpeg4"}, .seconds = 2}, clip);
  IniFile(home.settingsPath().toStdString()).writeString("settings", "deinterlace", "always");
  Show();
  window.AddFiles({QString::fromStdString(clip)});
  window.Jobs().Select(0);
  auto expectAlways = [&](auto* dialog, QAction* action) {
    using Dialog = std::remove_pointer_t<decltype(dialog)>;
    bool seen = false;
    WhenPlaying<Dialog>([&](Dialog& editor) {
      EXPECT_EQ(editor.Player().Deinterlace, Deinterlacing::Always);
      seen = true;
      editor.reject();
    });
    WithinTime(60000, [&] { action->trigger(); });
    EXPECT_TRUE(seen);
  };
  expectAlways(static_cast<TfrmTrim*>(nullptr), window.menus().actTrim);
  expectAlways(static_cast<TfrmCrop*>(nullptr), window.menus().actCrop);
  expectAlways(static_cast<TfrmWaterMark*>(nullptr), window.menus().actEffects);
}

}  // namespace
