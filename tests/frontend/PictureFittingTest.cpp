#include <gtest/gtest.h>

#include "engine/face/EngineRecords.h"
#include "frontend/FileJob.h"
#include "frontend/PictureFitting.h"
#include "frontend/SourcePicture.h"

namespace {

struct Fitted {
  std::string filters;
  TOutputOptions output;
};

TSourcePicture Picture(int width, int height, int sarNum = 1, int sarDen = 1) {
  return {.VideoStreamCount = 1, .Width = width, .Height = height, .SampleAspectNum = sarNum, .SampleAspectDen = sarDen};
}

Fitted Fit(const TSourcePicture& source, int tw, int th, const std::string& mode, TFileJob job = {}) {
  job.ZoomMode = mode;
  Fitted fitted;
  fitted.output.CropTop = fitted.output.CropBottom = fitted.output.CropLeft = fitted.output.CropRight = 0;
  fitted.filters = FitPicture(job, source, tw, th, fitted.output);
  return fitted;
}

// The letterbox examples on square pixels; the crop filter names width, height,
// then position, as today's libraries read it. The frame is always named, so
// the encoder is set up for it.
TEST(PictureFitting, LetterboxBarsOnSquarePixels) {
  struct Case {
    int sw, sh, tw, th;
    const char* filters;
  } cases[] = {
      {720, 480, 320, 240, "crop=720:480:0:0,scale=320:212,pad=320:240:0:14"},
      {720, 576, 176, 144, "crop=720:576:0:0,scale=176:140,pad=176:144:0:2"},
      {640, 480, 320, 240, "crop=640:480:0:0,scale=320:240,pad=320:240:0:0"},
      {480, 640, 320, 240, "crop=480:640:0:0,scale=180:240,pad=320:240:70:0"},
  };
  for (const auto& c : cases) {
    const Fitted fitted = Fit(Picture(c.sw, c.sh), c.tw, c.th, "lbox");
    EXPECT_EQ(fitted.filters, c.filters);
    EXPECT_EQ(fitted.output.FrameSize, std::to_string(c.tw) + "x" + std::to_string(c.th)) << c.filters;
    EXPECT_EQ(fitted.output.AspectRatio, std::to_string(c.tw) + ":" + std::to_string(c.th)) << c.filters;
  }
}

// A 16:9 PAL picture (720x576 stored, 1024 wide on the display) shows 320x180
// between two 30-line bars; a 4:3 one fills the frame.
TEST(PictureFitting, LetterboxJudgesAnamorphicSourcesOnTheDisplay) {
  const Fitted wide = Fit(Picture(720, 576, 64, 45), 320, 240, "lbox");
  EXPECT_EQ(wide.filters, "crop=720:576:0:0,scale=320:180,pad=320:240:0:30");
  EXPECT_EQ(wide.output.FrameSize, "320x240");
  EXPECT_EQ(wide.output.AspectRatio, "320:240");
  const Fitted standard = Fit(Picture(720, 576, 16, 15), 320, 240, "lbox");
  EXPECT_EQ(standard.filters, "crop=720:576:0:0,scale=320:240,pad=320:240:0:0");
  EXPECT_EQ(standard.output.FrameSize, "320x240");
}

// Cropping 80 columns off each side of 640x480 leaves a nearly square picture: it is
// fitted with side bars, not stretched to 4:3.
TEST(PictureFitting, LetterboxFitsTheCroppedPicture) {
  const Fitted fitted = Fit(Picture(640, 480), 320, 240, "lbox", {.CropTop = 4, .CropLeft = 80, .CropBottom = 4, .CropRight = 80});
  EXPECT_EQ(fitted.filters, "crop=480:472:80:4,scale=244:240,pad=320:240:38:0");
  EXPECT_EQ(fitted.output.CropLeft, 0) << "the filter crops, the engine must not crop again";
}

// Pan and scan cuts the picture, inside the job's own crop, to 4:3 on the
// display, whatever its shape.
TEST(PictureFitting, PanAndScanCutsTo4By3) {
  struct Case {
    TSourcePicture source;
    TFileJob job;
  } cases[] = {
      {Picture(720, 480), {}},
      {Picture(720, 576), {}},
      {Picture(1920, 1080), {}},
      {Picture(480, 640), {}},
      {Picture(720, 576, 64, 45), {}},
      {Picture(720, 480), {.CropTop = 10, .CropLeft = 20, .CropBottom = 10}},
  };
  for (const auto& c : cases) {
    const Fitted fitted = Fit(c.source, 320, 240, "pan", c.job);
    const auto& o = fitted.output;
    const std::string where = std::to_string(c.source.Width) + "x" + std::to_string(c.source.Height);
    EXPECT_EQ(fitted.filters, "") << where;
    EXPECT_EQ(o.FrameSize, "320x240") << where;
    EXPECT_EQ(o.AspectRatio, "320:240") << where;
    EXPECT_GE(o.CropTop, c.job.CropTop) << where;
    EXPECT_GE(o.CropLeft, c.job.CropLeft) << where;
    const double shown = double(c.source.DisplayWidth(c.source.Width - o.CropLeft - o.CropRight)) /
                         (c.source.Height - o.CropTop - o.CropBottom);
    EXPECT_NEAR(shown, 4.0 / 3.0, 0.012) << where;
  }
  // (1.5 - 4/3) x 480 lies just below 80: 79 columns, 39 a side, 38 when even.
  const Fitted ntsc = Fit(Picture(720, 480), 320, 240, "pan");
  EXPECT_EQ(ntsc.output.CropLeft, 38);
  EXPECT_EQ(ntsc.output.CropRight, 38);
  EXPECT_EQ(ntsc.output.CropTop, 0);
  const Fitted pal = Fit(Picture(720, 576), 320, 240, "pan");
  // (576/720 - 3/4) x 720 = 36 rows: 18 at the top and 18 at the bottom leave 720x540.
  EXPECT_EQ(pal.output.CropLeft, 0);
  EXPECT_EQ(pal.output.CropTop, 18);
  EXPECT_EQ(pal.output.CropBottom, 18);
  const Fitted cropped = Fit(Picture(720, 480), 320, 240, "pan", {.CropTop = 10, .CropLeft = 20, .CropBottom = 10});
  EXPECT_EQ(cropped.output.CropLeft, 62);
  EXPECT_EQ(cropped.output.CropRight, 42);
  EXPECT_EQ(cropped.output.CropBottom, 10);
}

TEST(PictureFitting, FullScreenStretchesAndKeepsTheJobsCrop) {
  const Fitted plain = Fit(Picture(720, 576), 176, 144, "full");
  EXPECT_EQ(plain.filters, "");
  EXPECT_EQ(plain.output.FrameSize, "176x144");
  EXPECT_EQ(plain.output.AspectRatio, "176:144");
  EXPECT_EQ(plain.output.CropLeft, 0);
  const Fitted cropped = Fit(Picture(720, 576), 176, 144, "full", {.CropTop = 8, .CropRight = 2});
  EXPECT_EQ(cropped.output.CropTop, 8);
  EXPECT_EQ(cropped.output.CropRight, 2);
  EXPECT_EQ(cropped.output.CropBottom, 0);
}

// "center" pads the whole picture, case by case; a later case that applies
// overwrites an earlier one.
TEST(PictureFitting, CenterPadsByTheSizeCases) {
  struct Case {
    int sw, sh;
    const char* frameSize;
    const char* filters;
  } cases[] = {
      {640, 200, "320x240", "pad=640:340:0:70:black"},  // narrower and higher frame
      {200, 480, "100x240", "pad=420:480:110:0:black"}, // wider and lower frame
      {160, 120, "320x240", "pad=160:120:0:0:black"},   // larger frame, same proportions
      {720, 480, "320x240", "pad=320:240:0:14:black"},  // smaller frame, wider picture
  };
  for (const auto& c : cases) {
    const Fitted fitted = Fit(Picture(c.sw, c.sh), 320, 240, "center");
    EXPECT_EQ(fitted.filters, c.filters);
    EXPECT_EQ(fitted.output.FrameSize, c.frameSize) << c.filters;
    EXPECT_EQ(fitted.output.AspectRatio, "320:240") << c.filters;
  }
}

TEST(PictureFitting, UnusableSizeFitsNothing) {
  for (const auto& fitted : {Fit(Picture(0, 0), 320, 240, "lbox"),
                             Fit(Picture(720, 576), 320, 240, "lbox", {.CropLeft = 400, .CropRight = 400})}) {
    EXPECT_EQ(fitted.filters, "");
    EXPECT_EQ(fitted.output.FrameSize, "");
    EXPECT_EQ(fitted.output.CropLeft, 0);
  }
}

// An edited settings file or an empty mode must not drop the frame size.
TEST(PictureFitting, UnknownModeLetterboxes) {
  for (const char* mode : {"zoom", "", "LBOX"}) {
    const auto fitted = Fit(Picture(720, 576), 320, 240, mode);
    EXPECT_EQ(fitted.filters, Fit(Picture(720, 576), 320, 240, "lbox").filters) << mode;
    EXPECT_EQ(fitted.filters, "crop=720:576:0:0,scale=300:240,pad=320:240:10:0") << mode;
  }
}

}  // namespace
