// A user's way through the window: the format and its values chosen in the
// panel with the mouse and the keyboard, then Start; the output has them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/MainWindow.h"
#include "settings/FormatController.h"
#include "jobs/JobList.h"
#include "media/MediaApi.h"
#include "testmedia/TestMedia.h"
#include "settings/PanelTestSupport.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "support/UrlRecorder.h"

namespace {

using namespace panel_test;

struct Output {
  std::string videoCodec, audioCodec;
  int width = 0, height = 0, sampleRate = 0, channels = 0;
  double frameRate = 0;
  std::int64_t audioBitRate = 0;
};

Output Describe(const QString& path) {
  Output out;
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.toUtf8().constData(), nullptr, nullptr) < 0) return out;
  media::avformat_find_stream_info(input, nullptr);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVStream* stream = input->streams[i];
    const AVCodecParameters* codec = stream->codecpar;
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
      out.videoCodec = media::avcodec_get_name(codec->codec_id);
      out.width = codec->width;
      out.height = codec->height;
      out.frameRate = stream->avg_frame_rate.den ? double(stream->avg_frame_rate.num) / stream->avg_frame_rate.den : 0;
    } else if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
      out.audioCodec = media::avcodec_get_name(codec->codec_id);
      out.sampleRate = codec->sample_rate;
      out.channels = codec->ch_layout.nb_channels;
      out.audioBitRate = codec->bit_rate;
    }
  }
  media::avformat_close_input(&input);
  return out;
}

TEST(PanelConversion, TheChosenFormatAndValuesReachTheOutput) {
  TempHome home;
  ScriptedPrompts prompts;
  UrlRecorder folders("file");
  const QString source = home.path() + "/clip.mp4";
  QFile::copy(QString::fromStdString(test_media::Path(test_media::Kind::Clip320)), source);

  TfrmMain window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.AddFiles({source});
  ASSERT_EQ(window.Jobs().Count(), 1);
  const MainControls& ui = window.controls();

  QTest::mouseClick(ui.imgbtn1, Qt::LeftButton);
  PressRow(ui.lst1, "Mobile Phone", 5);
  PressRow(ui.lst1, "Mobile Phone 3GP h263 Video(*.3gp)");
  ASSERT_EQ(window.Formats().CurrentFormatCode(), "200");
  Retype(ui.cmbVideoSize, "353x289");  // odd: corrected when the field is left
  Retype(ui.cmbAudioBitRate, "24");
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Input Error!");
  EXPECT_EQ(ui.cmbVideoSize->currentText(), "352x288");
  PickItem(ui.cmbChannel, 1);  // stereo

  QTimer::singleShot(120000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  QTest::mouseClick(ui.btnStart, Qt::LeftButton);  // returns when the batch has ended
  ASSERT_EQ(window.Jobs().ProgressText(0), "100%");

  const Output out = Describe(home.path() + "/clipforge/clip_(new).3gp");
  EXPECT_EQ(out.videoCodec, "h263");
  EXPECT_EQ(out.width, 352);
  EXPECT_EQ(out.height, 288);
  EXPECT_NEAR(out.frameRate, 15, 0.1);  // the format's default frame rate
  EXPECT_EQ(out.audioCodec, "aac");
  EXPECT_EQ(out.sampleRate, 22050);
  EXPECT_EQ(out.channels, 2);
  EXPECT_NEAR(double(out.audioBitRate), 24000, 6000);
  window.SetSkipExitConfirmation(true);
  window.close();
}

}  // namespace
