#include <gtest/gtest.h>

#include "media/MediaLoader.h"
#include "testmedia/TestMedia.h"
#include "probe/MediaProbe.h"

namespace {

using test_media::Kind;

class GeneratedMedia : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }
  TMediaProbe probe;
};

TEST_F(GeneratedMedia, StreamsIndexesAndDurations) {
  struct Expected {
    Kind kind;
    int video, audio, firstVideo, firstAudio;
    int width;
    std::int64_t minMs, maxMs;
  };
  const Expected cases[] = {
      {Kind::Mp4H264Aac, 1, 1, 0, 1, 176, 1990, 2100},  {Kind::AviMpeg4Mp3, 1, 1, 0, 1, 176, 1990, 2100},
      {Kind::Mkv, 1, 1, 0, 1, 176, 1990, 2100},         {Kind::VideoOnlyMp4, 1, 0, 0, -1, 176, 1990, 2010},
      {Kind::AudioOnlyM4a, 0, 1, -1, 0, -1, 1990, 2100}, {Kind::Wav, 0, 1, -1, 0, -1, 2000, 2000},
      {Kind::DvdNtscMpeg2Ac3, 1, 1, 1, 2, 720, 1990, 2100}, {Kind::DvdPalMpeg2Ac3, 1, 1, 1, 2, 720, 1990, 2100},
      {Kind::NonAsciiName, 1, 1, 0, 1, 176, 1990, 2100},
  };
  for (const auto& c : cases) {
    const std::string path = test_media::Path(c.kind);
    SCOPED_TRACE(path);
    ASSERT_TRUE(probe.LoadFile(path)) << probe.LastErrorMessage();
    EXPECT_EQ(probe.VideoStreamCount(), c.video);
    EXPECT_EQ(probe.AudioStreamCount(), c.audio);
    EXPECT_EQ(probe.FirstVideoStreamIndex(), c.firstVideo);
    EXPECT_EQ(probe.FirstAudioStreamIndex(), c.firstAudio);
    EXPECT_EQ(probe.VideoStreamInfo().Width, c.width);
    const auto durationMs = probe.FileStreamInfo().Duration / 1000;
    EXPECT_GE(durationMs, c.minMs);
    EXPECT_LE(durationMs, c.maxMs);
    EXPECT_EQ(probe.DefaultStreamIndex(), c.video ? c.firstVideo : c.firstAudio);
  }
}

TEST_F(GeneratedMedia, SizeAndDurationTexts) {
  ASSERT_TRUE(probe.LoadFile(test_media::Path(Kind::Exact1024)));
  EXPECT_NE(probe.FileInfoText().find("\nFile Size: 1024 Byte\n"), std::string::npos);
  ASSERT_TRUE(probe.LoadFile(test_media::Path(Kind::Exact1025)));
  EXPECT_NE(probe.FileInfoText().find("\nFile Size: 1.00 KB\n"), std::string::npos);
  ASSERT_TRUE(probe.LoadFile(test_media::Path(Kind::NinetyMinutes)));
  EXPECT_NE(probe.FileInfoText().find("\nDuration: 01:30:00.000\n"), std::string::npos) << probe.FileInfoText();
  ASSERT_TRUE(probe.LoadFile(test_media::Path(Kind::UnknownDuration)));
  EXPECT_NE(probe.FileInfoText().find("\nDuration: N/A\n"), std::string::npos) << probe.FileInfoText();
  EXPECT_EQ(probe.FileStreamInfo().Duration, -1);
}

TEST_F(GeneratedMedia, TagsAndNamesTheWayTheyWereWritten) {
  ASSERT_TRUE(probe.LoadFile(test_media::Path(Kind::Mp3Id3)));
  const std::string text = probe.FileInfoText();
  for (const char* key : {"\n  title           : ", "\n  artist          : ", "\n  album           : "})
    EXPECT_NE(text.find(key), std::string::npos) << key << text;

  const std::string nonAscii = test_media::Path(Kind::NonAsciiName);
  ASSERT_TRUE(probe.LoadFile(nonAscii));
  EXPECT_EQ(probe.FileName(), nonAscii);
  ASSERT_TRUE(probe.LoadFile("unicode:utf8:" + nonAscii));
  EXPECT_EQ(probe.VideoStreamCount(), 1);

  const std::string truncated = test_media::Path(Kind::Truncated);
  EXPECT_FALSE(probe.LoadFile(truncated));
  EXPECT_EQ(probe.LastErrorMessage(), truncated + ": Invalid data found when processing input");
}

TEST_F(GeneratedMedia, AudioOnlyFileHasNoVideoInfo) {
  ASSERT_TRUE(probe.LoadFile(test_media::Path(Kind::AudioOnlyM4a)));
  const auto video = probe.VideoStreamInfo(-1);
  EXPECT_EQ(video.Width, -1);
  EXPECT_EQ(video.FrameRateNum, -1);
  EXPECT_EQ(probe.LastErrorMessage(), "no video stream.");
  const auto audio = probe.AudioStreamInfo(-1);
  EXPECT_GT(audio.SampleRate, 0);
  EXPECT_GT(audio.Channels, 0);
  EXPECT_EQ(audio.CodecName, "aac(AAC (Advanced Audio Coding))");
}

}  // namespace
