// The effects dialog through the real window: a white text watermark and a
// lower brightness set with the keyboard on a file job and on a DVD job; the
// converted pictures change inside the text and follow the brightness
// mapping everywhere else.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "editing/EffectSettings.h"
#include "editing/FrameComposition.h"
#include "editing/WaterMarkWindow.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "testmedia/MediaWriter.h"
#include "picture/TurnedClips.h"
#include "player/MediaPlayer.h"
#include "support/DecodedFrames.h"
#include "support/MainWindowFixture.h"
#include "support/WaitFor.h"
#include "TestDvd.h"

namespace {

// The luma plane of a file's first picture.
struct Luma {
  int width = 0, height = 0;
  std::vector<int> y;
  int at(int x, int row) const { return y[size_t(row * width + x)]; }
};

Luma firstLuma(const std::string& path) {
  Luma luma;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    if (luma.width) return;
    luma.width = frame.width;
    luma.height = frame.height;
    for (int row = 0; row < frame.height; ++row)
      for (int x = 0; x < frame.width; ++x) luma.y.push_back(frame.data[0][row * frame.linesize[0] + x]);
  });
  return luma;
}

// Where the job's text lands in a source picture of that size: the pixels the
// text changes on a grey picture.
QRect textRect(const TlvFilesRecord& record, QSize source) {
  TBitmap24 blank;
  blank.Width = source.width();
  blank.Height = source.height();
  blank.Stride = blank.Width * 3;
  blank.Bits.assign(size_t(blank.Stride * blank.Height), 128);
  const TBitmap24 before = blank;
  DrawWatermarkText(blank, record.WaterMarkText, record.WaterMarkFont, record.WaterMarkFontColor, record.TextLeft,
                    record.TextTop);
  QRect changed;
  for (int row = 0; row < blank.Height; ++row)
    for (int x = 0; x < blank.Width; ++x)
      if (blank.Bits[size_t(row * blank.Stride + x * 3)] != before.Bits[size_t(row * blank.Stride + x * 3)])
        changed |= QRect(x, row, 1, 1);
  return changed;
}

class WaterMarkEditor : public MainWindowFixture {
 protected:
  void SetUp() override {
    IniFile settings(home.settingsPath().toStdString());
    settings.writeString("settings", "FormatCode", "200");
    settings.writeString("formatInfo200", "parazoom", "full");
  }

  // Opens the dialog on the first job through the Edit menu's entry and,
  // once it plays, sets "OXBEL" in white, 24 points, bold, at 10 % / 20 %,
  // and the brightness 205, all with keys and clicks; then "Ok".
  void SetWaterMarkAndBrightness() {
    bool edited = false;
    WhenPlaying<TfrmWaterMark>([&](TfrmWaterMark& dialog) {
      const TfrmWaterMark::Controls& ui = dialog.controls();
      EXPECT_FALSE(ui.trcTextHoriz->isEnabled()) << "no text, nothing to place";
      QTest::keyClicks(ui.edtFont, "OXBEL");
      EXPECT_TRUE(ui.trcTextHoriz->isEnabled());
      QTest::keyClick(ui.cmbFontSize->lineEdit(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(ui.cmbFontSize->lineEdit(), "24");
      ui.cmbFontColor->setFocus();
      QTest::keyClick(ui.cmbFontColor, Qt::Key_End);  // white, the last colour
      QTest::mouseClick(ui.chkBold, Qt::LeftButton, {}, QPoint(8, ui.chkBold->height() / 2));
      QTest::keyClick(ui.trcTextHoriz, Qt::Key_PageUp);
      QTest::keyClick(ui.trcTextVert, Qt::Key_PageUp);
      QTest::keyClick(ui.trcTextVert, Qt::Key_PageUp);
      auto* pages = dialog.findChild<QTabWidget*>();
      QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(2).center());
      for (int i = 0; i < 5; ++i) QTest::keyClick(ui.trcBrightness, Qt::Key_PageDown);
      EXPECT_EQ(ui.spnBrightness->value(), 205);
      // A few pictures with the watermark before "Ok".
      QTest::qWait(200);
      QTest::mouseClick(ui.btnOk, Qt::LeftButton);
      edited = true;
    });
    window.Jobs().Select(0);
    QMenu* edit = window.menus().mnuEdit;
    WithinTime(60000, [&] {
      edit->popup(window.mapToGlobal(QPoint(0, 0)));
      ASSERT_TRUE(QTest::qWaitFor([&] { return edit->isVisible(); }));
      QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(window.menus().actEffects).center());
    });
    ASSERT_TRUE(edited);
  }

  // Writes a 2 s 352x288 clip NAME.mp4 (stored with the display matrix when
  // given), adds it as the job and converts it: the output without effects.
  std::string AddClipAndConvert(const std::string& name, std::optional<std::array<std::int32_t, 9>> displayMatrix) {
    const std::string clip = home.file((name + ".mp4").c_str());
    test_media::WriteMedia({.muxer = "mp4",
                            .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 352, .height = 288,
                                                           .gopSize = 1, .displayMatrix = displayMatrix},
                            .seconds = 2},
                           clip);
    Show();
    window.AddFiles({QString::fromStdString(clip)});
    return Convert(window.controls().btnStart, QString::fromStdString(name + "_(new).3gp"), "plain.3gp");
  }

  // Converts the checked jobs with `start` and moves the output aside.
  std::string Convert(QPushButton* start, const QString& output, const QString& keptAs) {
    WithinTime(120000, [&] { QTest::mouseClick(start, Qt::LeftButton); });
    EXPECT_TRUE(QFile::rename(home.path() + "/clipforge/" + output, home.path() + "/" + keptAs));
    return (home.path() + "/" + keptAs).toStdString();
  }

  // The picture converted with the effects against the one converted
  // without: inside the text they differ, elsewhere they differ by the
  // brightness mapping only.
  static void ExpectTextAndBrightness(const std::string& plainPath, const std::string& effectPath, QRect text,
                                      QSize source) {
    const Luma plain = firstLuma(plainPath), effect = firstLuma(effectPath);
    ASSERT_GT(plain.width, 0);
    ASSERT_EQ(plain.width, effect.width);
    const double sx = double(plain.width) / source.width(), sy = double(plain.height) / source.height();
    const QRect inOutput(int(text.left() * sx), int(text.top() * sy), int(std::ceil(text.width() * sx)),
                         int(std::ceil(text.height() * sy)));
    const QRect nearText = inOutput.adjusted(-8, -8, 8, 8);  // the encoder's blocks around the text
    double inside = 0, outside = 0, unmapped = 0;
    int insideCount = 0, outsideCount = 0;
    for (int row = 0; row < plain.height; ++row)
      for (int x = 0; x < plain.width; ++x) {
        const double mapped = 16 + (plain.at(x, row) - 16) * 205.0 / 256;
        const double difference = std::abs(effect.at(x, row) - mapped);
        if (inOutput.contains(x, row)) {
          inside += difference;
          ++insideCount;
        } else if (!nearText.contains(x, row)) {
          outside += difference;
          unmapped += std::abs(effect.at(x, row) - plain.at(x, row));
          ++outsideCount;
        }
      }
    ASSERT_GT(insideCount, 20);
    EXPECT_GT(inside / insideCount, 25) << "the text shows";
    EXPECT_LT(outside / outsideCount, 5) << "the rest follows the brightness";
    EXPECT_GT(unmapped / outsideCount, 12) << "and is darker than without effects";
  }
};

TEST_F(WaterMarkEditor, FileJobConvertsWithTheTextAndBrightnessShown) {
  const std::string plain = AddClipAndConvert("clip", {});

  SetWaterMarkAndBrightness();
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_EQ(record.WaterMarkText, "OXBEL");
  EXPECT_EQ(record.WaterMarkFont.pointSize(), 24);
  EXPECT_TRUE(record.WaterMarkFont.bold());
  EXPECT_EQ(record.WaterMarkFontColor, QColor(Qt::white));
  EXPECT_EQ(record.TextHorizPercent, 10);
  EXPECT_EQ(record.TextVertPercent, 20);
  EXPECT_EQ(record.TextLeft, 35) << "10 % of 352";
  EXPECT_EQ(record.TextTop, 57) << "20 % of 288";
  EXPECT_EQ(record.Brightness, 205);

  const std::string effect = Convert(window.controls().btnStart, "clip_(new).3gp", "effect.3gp");
  ExpectTextAndBrightness(plain, effect, textRect(record, {352, 288}), {352, 288});
}

// A phone clip stored sideways: the places are shares of the upright
// picture, and the text lands there in the converted file.
TEST_F(WaterMarkEditor, TurnedClipGetsTheTextWhereItWasPut) {
  const std::string plain = AddClipAndConvert("turned", turned_clips::kTurns[1].matrix);

  SetWaterMarkAndBrightness();
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_EQ(record.TextLeft, 28) << "10 % of the upright 288";
  EXPECT_EQ(record.TextTop, 70) << "20 % of the upright 352";
  const std::string effect = Convert(window.controls().btnStart, "turned_(new).3gp", "effect.3gp");
  ExpectTextAndBrightness(plain, effect, textRect(record, {288, 352}), {288, 352});
}

TEST_F(WaterMarkEditor, DvdJobConvertsWithTheTextAndBrightnessShown) {
  Show();
  OpenFolderOrImage(QString::fromStdString(test_dvd::Path(test_dvd::Disc::Folder)));
  ASSERT_EQ(window.Jobs().Count(), 3);
  window.Jobs().SetChecked(1, false);
  window.Jobs().SetChecked(2, false);
  const std::string plain = Convert(window.controls().btnDVDStart, "DVD Title 1_(new).3gp", "plain.3gp");

  SetWaterMarkAndBrightness();
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_EQ(record.TextLeft, 72) << "10 % of the title's 720";
  EXPECT_EQ(record.TextTop, 115) << "20 % of its 576";
  const std::string effect = Convert(window.controls().btnDVDStart, "DVD Title 1_(new).3gp", "effect.3gp");
  ExpectTextAndBrightness(plain, effect, textRect(record, {720, 576}), {720, 576});
}

}  // namespace

namespace {

TEST_F(WaterMarkEditor, PausedPictureShowsChangesAndThePictureWatermarkComesAndGoes) {
  const std::string clip = home.file("clip.mp4");
  test_media::WriteMedia({.muxer = "mp4", .video = test_media::VideoSpec{.encoder = "mpeg4"}, .seconds = 3}, clip);
  const QString bitmap = QString::fromStdString(home.file("logo.bmp"));
  QImage logo(32, 24, QImage::Format_RGB888);
  logo.fill(Qt::red);
  ASSERT_TRUE(logo.save(bitmap));
  Show();
  window.AddFiles({QString::fromStdString(clip)});
  window.Jobs().Select(0);
  bool edited = false;
  WhenPlaying<TfrmWaterMark>([&](TfrmWaterMark& dialog) {
    const TfrmWaterMark::Controls& ui = dialog.controls();
    QTest::mouseClick(ui.imgbtnPause, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return dialog.Player().IsPaused(); }, 2000));
    QTest::qWait(300);
    const int shown = dialog.Player().ShownPictures();
    QTest::keyClicks(ui.edtFont, "A");
    EXPECT_TRUE(waitFor([&] { return dialog.Player().ShownPictures() > shown; }, 3000))
        << "the paused picture is drawn again with the text";

    prompts.queueFiles({bitmap});
    QTest::mouseClick(ui.btnBrows, Qt::LeftButton);
    EXPECT_EQ(ui.edtImage->text(), bitmap);
    EXPECT_TRUE(ui.trcImageHoriz->isEnabled());
    QTest::keyClick(ui.trcImageHoriz, Qt::Key_PageUp);
    QTest::mouseClick(ui.btnClearImage, Qt::LeftButton);
    EXPECT_EQ(ui.edtImage->text(), "");
    EXPECT_EQ(ui.trcImageHoriz->value(), 0);
    EXPECT_EQ(ui.trcAlpha->value(), 125);
    EXPECT_FALSE(ui.trcImageHoriz->isEnabled());
    QTest::mouseClick(ui.btnOk, Qt::LeftButton);
    edited = true;
  });
  WithinTime(60000, [&] { window.menus().actEffects->trigger(); });
  ASSERT_TRUE(edited);
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_EQ(record.WaterMarkText, "A");
  EXPECT_EQ(record.WaterMarkImage, "");
  EXPECT_EQ(record.ImageAlpha, 125);
  EXPECT_TRUE(prompts.asked.isEmpty());
}

}  // namespace
