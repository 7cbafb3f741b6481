#include <gtest/gtest.h>

#include <vector>

#include "editing/Bitmaps.h"
#include "editing/PixelEffects.h"

namespace {

std::vector<int> Levels(const LevelTable& table, std::initializer_list<int> levels) {
  std::vector<int> out;
  for (int level : levels) out.push_back(table[level]);
  return out;
}

std::vector<int> Bgr(const TBitmap24& bitmap, int x = 0, int y = 0) {
  const std::uint8_t* p = PixelAt(bitmap, x, y);
  return {p[0], p[1], p[2]};
}

// The padding byte after the last pixel of the last row.
std::uint8_t LastPadding(const TBitmap24& bitmap) { return bitmap.Bits.back(); }

}  // namespace

TEST(PixelEffects, ExposureCurves) {
  EXPECT_EQ(Levels(ExposureTable(128), {0, 64, 128, 192, 255}), (std::vector<int>{0, 139, 208, 240, 255}));
  EXPECT_EQ(Levels(ExposureTable(512), {0, 64, 128, 192, 255}), (std::vector<int>{0, 228, 252, 254, 255}));
  EXPECT_EQ(Levels(ExposureTable(-128), {0, 64, 128, 192, 255}), (std::vector<int>{0, 0, 0, 0, 255}));
  // e = -55 at level 200: 55 x 55 >> 8 = 11 is taken off (an arithmetic shift
  // of -3025 would take 12).
  EXPECT_EQ(ExposureTable(-16)[200], 189);
  for (float exposure : {-4000.0f, -300.0f, -1.0f, 0.0f, 1.0f, 37.0f, 1000.0f, 20000.0f}) {
    const LevelTable table = ExposureTable(exposure);
    EXPECT_EQ(table[0], 0) << exposure;
    EXPECT_EQ(table[255], 255) << exposure;
  }
}

// Every byte of every row goes through the curve; the row padding does not.
TEST(PixelEffects, ExposureCoversEveryChannelAndRow) {
  TBitmap24 bitmap = FilledBitmap(5, 3, 64, 128, 192, 2);
  ApplyExposure(bitmap, 128);
  EXPECT_EQ(Bgr(bitmap, 0, 0), (std::vector<int>{139, 208, 240}));
  EXPECT_EQ(Bgr(bitmap, 4, 2), (std::vector<int>{139, 208, 240}));
  EXPECT_EQ(LastPadding(bitmap), 0xEE);
}

TEST(PixelEffects, ContrastExtremes) {
  // 100 is taken as 99; computed at 100 every level but the pivot would clip.
  EXPECT_EQ(ContrastTable(100), ContrastTable(99));
  EXPECT_EQ(Levels(ContrastTable(100), {168, 169, 170, 171, 172}), (std::vector<int>{43, 106, 170, 234, 255}));
  // cos(-100 x 0.015708) is a hair from zero: every level lands on the pivot.
  for (int level : ContrastTable(-100)) EXPECT_EQ(level, 170);
}

// Changing contrast alone still applies brightness 255: white goes through T[254].
TEST(PixelEffects, OnlyContrastStillAppliesBrightness255) {
  const LevelTable contrast = ContrastTable(-30);
  ASSERT_NE(contrast[254], contrast[255]);
  EXPECT_EQ(ToneTable(255, contrast)[255], contrast[254]);
  TBitmap24 white = FilledBitmap(2, 2, 255, 255, 255, 1);
  ApplyColour(white, 255, -30, 255);
  EXPECT_EQ(Bgr(white, 1, 1), (std::vector<int>{245, 245, 245}));
  EXPECT_EQ(LastPadding(white), 0xEE);
}

TEST(PixelEffects, SaturationAndContrastOnPixels) {
  TBitmap24 grey = FilledBitmap(3, 2, 30, 60, 90);
  ApplyColour(grey, 255, 0, 0);
  EXPECT_EQ(Bgr(grey, 2, 1), (std::vector<int>{59, 59, 59}));

  TBitmap24 contrasted = FilledBitmap(3, 2, 100, 200, 0);
  ApplyColour(contrasted, 255, 50, 255);
  EXPECT_EQ(Bgr(contrasted, 2, 1), (std::vector<int>{70, 211, 0}));
}

// A picture larger than the frame, or placed beyond it, is clipped; negative
// places clip the picture's leading part.
TEST(PixelEffects, OverlayClipsToTheFrame) {
  const TBitmap24 white = FilledBitmap(10, 10, 255, 255, 255, 1);
  TBitmap24 frame = FilledBitmap(6, 4, 0, 0, 0, 3);
  OverlayImage(frame, white, 2, 1, 256, 1);
  EXPECT_EQ(Bgr(frame, 1, 1)[0], 0);
  EXPECT_EQ(Bgr(frame, 2, 0)[0], 0);
  EXPECT_EQ(Bgr(frame, 2, 1)[0], 255);
  EXPECT_EQ(Bgr(frame, 5, 3)[0], 255);
  EXPECT_EQ(LastPadding(frame), 0xEE);

  TBitmap24 beyond = FilledBitmap(6, 4, 0, 0, 0);
  const TBitmap24 before = beyond;
  OverlayImage(beyond, white, 6, 4, 256, 1);
  OverlayImage(beyond, white, 6, 0, 256, 1);
  OverlayImage(beyond, white, -10, -10, 256, 1);
  EXPECT_EQ(beyond.Bits, before.Bits);

  TBitmap24 corner = FilledBitmap(6, 4, 0, 0, 0);
  TBitmap24 marked = FilledBitmap(3, 3, 0, 0, 0);
  marked.Bits[std::size_t(marked.Stride) * 2 + 6] = 77;  // blue of the picture's pixel (2, 2)
  OverlayImage(corner, marked, -2, -2, 256, 1);
  EXPECT_EQ(Bgr(corner, 0, 0)[0], 77);
  EXPECT_EQ(Bgr(corner, 1, 0)[0], 0);
}

TEST(PixelEffects, OverlayStyles) {
  const TBitmap24 image = FilledBitmap(2, 2, 200, 100, 0);
  TBitmap24 invisible = FilledBitmap(2, 2, 50, 150, 250);
  OverlayImage(invisible, image, 0, 0, 0, 1);
  EXPECT_EQ(Bgr(invisible), (std::vector<int>{50, 150, 250}));

  TBitmap24 blended = FilledBitmap(2, 2, 50, 150, 250);
  OverlayImage(blended, image, 0, 0, 168, 1);
  EXPECT_EQ(Bgr(blended), (std::vector<int>{(88 * 50 + 168 * 200) >> 8, (88 * 150 + 168 * 100) >> 8, 88 * 250 >> 8}));

  // Style 2 multiplies and ignores alpha.
  for (int alpha : {0, 168}) {
    TBitmap24 multiplied = FilledBitmap(2, 2, 50, 150, 250);
    OverlayImage(multiplied, image, 0, 0, alpha, 2);
    EXPECT_EQ(Bgr(multiplied, 1, 1), (std::vector<int>{200 * 50 / 255, 100 * 150 / 255, 0})) << alpha;
  }
}
