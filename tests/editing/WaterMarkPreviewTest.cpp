// The effects dialog's preview and the conversion hook draw the same picture
// from the same settings, and the preview's watermark picture can go while
// frames are being drawn.
#include <gtest/gtest.h>

#include <QImage>

#include <atomic>
#include <thread>

#include "editing/ConversionEffects.h"
#include "editing/WaterMarkPreview.h"
#include "jobs/JobRecord.h"
#include "media/FrameBitmap.h"
#include "media/MediaLoader.h"
#include "testmedia/MediaWriter.h"
#include "support/DecodedFrames.h"
#include "support/TempHome.h"

namespace {

TBitmap24 decodedPicture(const std::string& path) {
  TBitmap24 bitmap;
  FrameBitmapConverter converter;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    if (!bitmap.Width) converter.ToBitmap(&frame, bitmap);
  });
  return bitmap;
}

// Every effect at once: text adjusted by the colours, a picture blended over it.
EffectSettings everything(const QString& imagePath) {
  EffectSettings s;
  s.Text = "Oxbel";
  s.Font.setPointSize(14);
  s.Font.setBold(true);
  s.FontColor = Qt::red;
  s.ImagePath = imagePath;
  s.ImageAlpha = 100;
  s.Brightness = 300;
  s.Contrast = 20;
  s.Saturation = 200;
  s.Exposure = 64;
  s.ProcessText = true;
  return s;
}

TEST(WaterMarkPreview, DrawsWhatTheConversionDrawsInsideTheCropOutline) {
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  TempHome home;
  const std::string clip = home.file("clip.mp4");
  test_media::WriteMedia({.muxer = "mp4", .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 320, .height = 240},
                          .seconds = 0.2},
                         clip);
  const QString image = QString::fromStdString(home.file("mark.bmp"));
  QImage mark(40, 30, QImage::Format_RGB888);
  mark.fill(QColor(200, 40, 90));
  ASSERT_TRUE(mark.save(image));

  const TBitmap24 decoded = decodedPicture(clip);
  ASSERT_EQ(decoded.Width, 320);
  const WaterMarkPlaces places{10, 20, 50, 50};
  WaterMarkPreview preview;
  preview.SetSettings(everything(image), places);
  preview.SetCrop(8, 10, 12, 14);
  TBitmap24 previewed = decoded;
  preview.Draw(previewed);
  EXPECT_EQ(preview.FrameSize(), QSize(320, 240));

  // What "Ok" stores, converted through the job record as the batch does.
  TlvFilesRecord record;
  StoreEffectSettings(PlacedSettings(everything(image), places, preview.FrameSize()), record);
  EXPECT_EQ(QPoint(record.ImageLeft, record.ImageTop), QPoint(160, 120));
  ConversionEffects conversion;
  conversion.SetTask(3, EffectSettingsOf(record));
  TBitmap24 converted = decoded;
  conversion.Apply(3, converted);

  // Inside the outline (which starts a pixel in from the crop and is 2 wide)
  // every byte agrees; the outline itself is the preview's alone.
  const QRect inside(QPoint(10 + 3, 8 + 3), QPoint(320 - 14 - 4, 240 - 12 - 4));
  int differing = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t at = size_t(y * decoded.Stride + x * 3 + c);
        differing += previewed.Bits[at] != converted.Bits[at];
      }
  EXPECT_EQ(differing, 0);
  EXPECT_NE(converted.Bits, decoded.Bits) << "the effects did something";
  const size_t onOutline = size_t(8 + 1) * size_t(decoded.Stride) + 100 * 3;
  EXPECT_EQ(previewed.Bits[onOutline + 1], 128) << "green outline";

  TBitmap24 untouched = decoded;
  conversion.Apply(4, untouched);
  EXPECT_EQ(untouched.Bits, decoded.Bits) << "a task without effects";
}

// "Clear Image" while the video thread draws: no frame uses a freed picture.
TEST(WaterMarkPreview, PictureCanBeClearedWhileFramesAreDrawn) {
  TempHome home;
  const QString image = QString::fromStdString(home.file("mark.bmp"));
  QImage mark(64, 64, QImage::Format_RGB888);
  mark.fill(Qt::blue);
  ASSERT_TRUE(mark.save(image));
  WaterMarkPreview preview;
  preview.SetSettings(everything(image), {});
  std::atomic<bool> done{false};
  std::atomic<int> drawn{0};
  std::thread video([&] {
    TBitmap24 frame;
    frame.Width = 96;
    frame.Height = 80;
    frame.Stride = 96 * 3;
    while (!done) {
      frame.Bits.assign(size_t(frame.Stride * frame.Height), 60);
      preview.Draw(frame);
      ++drawn;
    }
  });
  for (int i = 0; drawn < 300; ++i) {
    preview.ClearImage();
    preview.SetSettings(everything(i % 2 ? image : QString()), {i % 100, 0, 0, i % 100});
  }
  done = true;
  video.join();
}

}  // namespace
