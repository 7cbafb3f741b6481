#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>

#include <stdexcept>

#include "editing/Bitmaps.h"
#include "editing/EffectSettings.h"
#include "editing/FrameComposition.h"
#include "editing/PixelEffects.h"
#include "jobs/JobRecord.h"

namespace {

// The rectangle of pixels that differ between two frames of one size.
QRect ChangedArea(const TBitmap24& before, const TBitmap24& after) {
  QRect area;
  for (int y = 0; y < before.Height; ++y)
    for (int x = 0; x < before.Width; ++x)
      if (!std::equal(PixelAt(before, x, y), PixelAt(before, x, y) + 3, PixelAt(after, x, y)))
        area |= QRect(x, y, 1, 1);
  return area;
}

QFont TestFont() {
  QFont font("DejaVu Sans");
  font.setPixelSize(16);
  return font;
}

void SavePicture(const QString& path, const QColor& colour, int width) {
  QImage picture(width, 2, QImage::Format_RGB32);
  picture.fill(colour);
  ASSERT_TRUE(picture.save(path, "BMP"));
}

void SetModified(const QString& path, const QDateTime& time) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime));
}

}  // namespace

// A new job's values change nothing.
TEST(FrameComposition, NeutralJobLeavesFramesAlone) {
  const EffectSettings settings = EffectSettingsOf(TlvFilesRecord{});
  EXPECT_TRUE(settings.ColourNeutral());
  TBitmap24 frame = FilledBitmap(8, 6, 10, 128, 255, 2);
  for (std::size_t i = 0; i < frame.Bits.size(); ++i) frame.Bits[i] = std::uint8_t(i * 7);
  const TBitmap24 before = frame;
  const TBitmap24 image = FilledBitmap(2, 2, 1, 2, 3);
  ComposeFrame(frame, settings, &image);
  EXPECT_EQ(frame.Bits, before.Bits);
}

// White text on the left, a grey picture on the right, on a frame of 100;
// contrast -100 flattens to 170 and exposure 128 then lifts that. Whatever
// comes before the colour steps ends up at the lifted level.
TEST(FrameComposition, ProcessFlagsChooseWhatTheEffectsChange) {
  const int adjusted = ExposureTable(128)[170];
  ASSERT_NE(adjusted, 170);
  struct Case {
    bool processText, processImage, textAdjusted, imageAdjusted;
  } cases[] = {
      {true, false, true, false}, {false, true, false, true}, {true, true, true, true}, {false, false, false, false}};
  const TBitmap24 image = FilledBitmap(10, 10, 200, 200, 200);
  for (const Case& c : cases) {
    EffectSettings s;
    s.Text = QStringLiteral("\u2588\u2588");  // full blocks: solid text pixels
    s.Font = TestFont();
    s.FontColor = Qt::white;
    s.ImagePath = QStringLiteral("grey.bmp");
    s.ImageLeft = 40;
    s.ImageAlpha = 256;
    s.Contrast = -100;
    s.Exposure = 128;
    s.ProcessText = c.processText;
    s.ProcessImage = c.processImage;
    TBitmap24 frame = FilledBitmap(50, 20, 100, 100, 100);
    ComposeFrame(frame, s, &image);
    const std::string label = std::to_string(c.processText) + std::to_string(c.processImage);
    EXPECT_EQ(PixelAt(frame, 30, 5)[0], adjusted) << label;  // the background always
    EXPECT_EQ(PixelAt(frame, 45, 5)[1], c.imageAdjusted ? adjusted : 200) << label;
    EXPECT_EQ(PixelAt(frame, 5, 8)[2], c.textAdjusted ? adjusted : 255) << label;
  }
}

// The text cell's top-left is (left, top); only pixels inside the text's
// bounding box change, in the pen's colour (red is the third byte).
TEST(FrameComposition, TextStaysInItsCell) {
  const QFont font = TestFont();
  TBitmap24 frame = FilledBitmap(120, 60, 0, 0, 0);
  const TBitmap24 before = frame;
  DrawWatermarkText(frame, QStringLiteral("Hg"), font, QColor(255, 0, 0), 20, 10);
  const QRect changed = ChangedArea(before, frame);
  const QFontMetrics metrics(font);
  ASSERT_FALSE(changed.isEmpty());
  EXPECT_TRUE(QRect(20, 10, metrics.horizontalAdvance(QStringLiteral("Hg")) + 2, metrics.height()).contains(changed))
      << changed.x() << "," << changed.y() << " " << changed.width() << "x" << changed.height();
  EXPECT_LE(changed.left(), 22);
  EXPECT_LE(changed.top(), 10 + metrics.ascent() / 2);  // not drawn with its baseline at `top`
  bool fullRed = false;
  for (int y = changed.top(); y <= changed.bottom(); ++y)
    for (int x = changed.left(); x <= changed.right(); ++x) {
      const std::uint8_t* p = PixelAt(frame, x, y);
      EXPECT_EQ(p[0], 0);
      EXPECT_EQ(p[1], 0);
      fullRed |= p[2] == 255;
    }
  EXPECT_TRUE(fullRed);
}

// 20x16 cropped by top 2, left 3, bottom 1, right 4: the outer edge runs
// through (4, 3) and (14, 13), two pixels wide inwards.
TEST(FrameComposition, CropOutlinePixels) {
  TBitmap24 frame = FilledBitmap(20, 16, 9, 9, 9);
  DrawCropOutline(frame, 2, 3, 1, 4);
  struct Probe {
    int x, y;
    bool green;
  } probes[] = {{4, 3, true},  {5, 8, true},  {6, 8, false},  {3, 8, false}, {8, 2, false}, {8, 4, true},
                {8, 5, false}, {14, 13, true}, {13, 8, true}, {12, 8, false}, {15, 8, false}, {8, 12, true},
                {8, 11, false}, {8, 14, false}};
  for (const Probe& p : probes) {
    const std::uint8_t* pixel = PixelAt(frame, p.x, p.y);
    const std::vector<int> bgr{pixel[0], pixel[1], pixel[2]};
    const std::vector<int> expected = p.green ? std::vector<int>{0, 128, 0} : std::vector<int>{9, 9, 9};
    EXPECT_EQ(bgr, expected) << p.x << "," << p.y;
  }
}

// A picture placed at 100 % of the frame draws nothing.
TEST(FrameComposition, WatermarkAtFullPercentIsOutside) {
  EXPECT_EQ(WatermarkPosition(321, 241, 50, 33), QPoint(160, 79));
  const QPoint corner = WatermarkPosition(32, 24, 100, 100);
  TBitmap24 frame = FilledBitmap(32, 24, 0, 0, 0);
  const TBitmap24 before = frame;
  OverlayImage(frame, FilledBitmap(8, 8, 255, 255, 255), corner.x(), corner.y(), 256, 1);
  EXPECT_EQ(frame.Bits, before.Bits);
}

TEST(FrameComposition, LoadingWatermarkPictures) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("no-such-logo.bmp"));
  try {
    LoadWatermarkImage(missing);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(missing.toStdString()), std::string::npos) << error.what();
  }

  const QString path = dir.filePath(QStringLiteral("logo.bmp"));
  SavePicture(path, QColor(10, 20, 30), 3);
  const TBitmap24 loaded = LoadWatermarkImage(path);
  EXPECT_EQ(loaded.Width, 3);
  EXPECT_EQ(loaded.Height, 2);
  EXPECT_EQ(std::vector<int>(PixelAt(loaded, 2, 1), PixelAt(loaded, 2, 1) + 3), (std::vector<int>{30, 20, 10}));
}

// The cache reads once, and again when the file's time or size changes.
TEST(FrameComposition, WatermarkCacheFollowsTheFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("logo.bmp"));
  SavePicture(path, QColor(0, 0, 200), 4);
  WatermarkImageCache cache;
  EXPECT_EQ(cache.Get(QString()), nullptr);
  ASSERT_EQ(PixelAt(*cache.Get(path), 0, 0)[0], 200);

  // Same size, new content, the old time: still the cached picture.
  const QDateTime written = QFileInfo(path).lastModified();
  SavePicture(path, QColor(0, 0, 100), 4);
  SetModified(path, written);
  EXPECT_EQ(PixelAt(*cache.Get(path), 0, 0)[0], 200);
  SetModified(path, written.addSecs(5));
  EXPECT_EQ(PixelAt(*cache.Get(path), 0, 0)[0], 100);
  SavePicture(path, QColor(0, 0, 50), 6);
  SetModified(path, written.addSecs(5));
  const TBitmap24* wider = cache.Get(path);
  EXPECT_EQ(wider->Width, 6);
  EXPECT_EQ(PixelAt(*wider, 0, 0)[0], 50);
}
