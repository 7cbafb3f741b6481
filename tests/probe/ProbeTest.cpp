#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "probe/MediaProbe.h"
#include "support/TempHome.h"

namespace {

namespace fs = std::filesystem;

class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }
  TMediaProbe probe;
  TempHome home;
};

struct SharedSample {
  const char* name;
  int videoStreams, audioStreams, subtitleStreams;
  std::int64_t durationMs;  // -1: unknown
};

// Media made by other tools: every file opens with the streams it holds.
TEST_F(ProbeTest, DescribesEveryRealWorldSample) {
  const fs::path folder = OXBEL_SHARED_MEDIA;
  if (!fs::exists(folder)) GTEST_SKIP() << "no " << folder;
  const SharedSample samples[] = {
      {"sample.mp4", 1, 1, 0, 1024},          {"sample_audio_only.mp4", 0, 1, 0, 1089},
      {"sample_video_only.mp4", 1, 0, 0, 1001}, {"sample.avi", 1, 1, 0, 4087},
      {"sample.flv", 1, 1, 0, 1136},          {"sample.mkv", 1, 1, 0, 1072},
      {"sample_with_vobsub.mkv", 1, 1, 1, 1240}, {"sample.wav", 0, 1, 0, 1000},
      {"bear-id3.mp3", 1, 1, 0, 2695},        {"bear_vorbis.ogg", 0, 1, 0, 2741},
      {"bear.flac", 0, 1, 0, 2741},           {"bbb_1ch_8kHz_aac_lc.m4a", 0, 1, 0, 3328},
      {"bbb_176x144_128kbps_15fps_h263.3gp", 1, 0, 0, 1000}, {"sample.ac3", 0, 1, 0, 276},
      {"sample_h262_mpeg_audio.ps", 1, 1, 0, 130}, {"fixture.wmv.asf", 1, 1, 0, 138},
      {"fixture.wma.asf", 0, 1, 0, 2605},     {"fixture.3gp", 1, 1, 0, 5578},
      {"fixture.mpg", 1, 0, 0, 2},
  };
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.name);
    ASSERT_TRUE(probe.LoadFile((folder / sample.name).string())) << probe.LastErrorMessage();
    EXPECT_EQ(probe.VideoStreamCount(), sample.videoStreams);
    EXPECT_EQ(probe.AudioStreamCount(), sample.audioStreams);
    EXPECT_EQ(probe.SubtitleStreamCount(), sample.subtitleStreams);
    EXPECT_EQ(probe.FirstVideoStreamIndex() >= 0, sample.videoStreams > 0);
    EXPECT_EQ(probe.FileStreamInfo().Duration / 1000, sample.durationMs);
    EXPECT_EQ(probe.FileSize(), std::int64_t(fs::file_size(folder / sample.name)));
    const std::string text = probe.FileInfoText();
    int streamLines = 0;
    for (size_t at = text.find("\nStream #"); at != std::string::npos; at = text.find("\nStream #", at + 1)) ++streamLines;
    EXPECT_EQ(streamLines, probe.StreamCount());
  }
}

TEST_F(ProbeTest, Id3FramesAreListedUnderCommonNames) {
  const fs::path mp3 = fs::path(OXBEL_SHARED_MEDIA) / "bear-id3.mp3";
  if (!fs::exists(mp3)) GTEST_SKIP();
  ASSERT_TRUE(probe.LoadFile(mp3.string()));
  const std::string text = probe.FileInfoText();
  EXPECT_NE(text.find("\nMetadata:\n  title           : Test title\n  artist          : Test Artist\n"
                      "  album           : Test Album\n"),
            std::string::npos)
      << text;
  const auto info = probe.FileStreamInfo();
  EXPECT_EQ(info.Title, "Test title");
  EXPECT_EQ(info.Album, "Test Album");
}

TEST_F(ProbeTest, CorruptHeaderFailsWithTheLibraryText) {
  const fs::path corrupt = fs::path(OXBEL_SHARED_MEDIA) / "fixture-corrupt.mkv";
  if (!fs::exists(corrupt)) GTEST_SKIP();
  EXPECT_FALSE(probe.LoadFile(corrupt.string()));
  EXPECT_EQ(probe.LastErrorMessage(), corrupt.string() + ": Invalid data found when processing input");
  EXPECT_FALSE(probe.Loaded());
}

// Broken or impossible inputs fail with a clear text and leave the probe closed.
TEST_F(ProbeTest, BadInputsFailCleanly) {
  const std::string empty = home.file("empty.mp4");
  WriteFileBytes(empty, "");
  std::string noise(20000, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = char(random());
  const std::string randomBytes = home.file("noise.avi");
  WriteFileBytes(randomBytes, noise);
  const std::string missing = home.file("missing.mp4");
  const std::string longName = home.path().toStdString() + "/" + std::string(1100, 'n') + ".mp4";

  const std::pair<std::string, std::string> cases[] = {
      {empty, empty + ": Invalid data found when processing input"},
      {randomBytes, randomBytes + ": Invalid data found when processing input"},
      {missing, missing + ": No such file or directory"},
      {home.path().toStdString(), home.path().toStdString() + ": Error number -21 occurred (Is a directory)"},
      {longName, longName + ": Error number -36 occurred (File name too long)"},
  };
  for (const auto& [name, message] : cases) {
    SCOPED_TRACE(name.substr(0, 80));
    EXPECT_FALSE(probe.LoadFile(name));
    EXPECT_EQ(probe.LastErrorMessage(), message);
    EXPECT_FALSE(probe.Loaded());
    EXPECT_EQ(probe.StreamCount(), -1);
  }
  EXPECT_FALSE(probe.LoadFile(missing, "no_such_format"));
  EXPECT_EQ(probe.LastErrorMessage(), "Unknown input format: no_such_format");
}

TEST_F(ProbeTest, QueriesWithoutAFileReturnUnsetValues) {
  EXPECT_EQ(probe.FileStreamInfo().Duration, -1);
  EXPECT_EQ(probe.LastErrorMessage(), "file not loaded.");
  EXPECT_EQ(probe.VideoStreamInfo().Width, -1);
  EXPECT_EQ(probe.FileInfoText(), "");
  EXPECT_FALSE(probe.IsAudioStream(0));
}

TEST_F(ProbeTest, MissingLibrariesRaiseBeforeAnythingElse) {
  TMediaLoader::instance().unload(MediaLibrary::avformat);
  try {
    probe.LoadFile("x.mp4");
    FAIL() << "no exception";
  } catch (const EngineException& e) {
    EXPECT_STREQ(e.what(), "LibAVFormat not loaded.");
  }
  TMediaLoader::instance().unloadSet(kEngineLibraries);
  EXPECT_THROW(probe.LoadFile("x.mp4"), EngineException);
}

// An input opened elsewhere: the probe reads it, repairs a zero time-base
// denominator, and never frees it.
TEST_F(ProbeTest, AttachedContextIsAnalysedButNotOwned) {
  AVFormatContext* context = media::avformat_alloc_context();
  AVStream* video = media::avformat_new_stream(context, nullptr);
  video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
  video->codecpar->width = 320;
  video->codecpar->height = 240;
  video->time_base = {5, 0};
  AVStream* audio = media::avformat_new_stream(context, nullptr);
  audio->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  audio->time_base = {0, 0};

  probe.Attach(context);
  EXPECT_EQ(probe.StreamCount(), 2);
  EXPECT_EQ(probe.DefaultStreamIndex(), 0);
  EXPECT_EQ(probe.VideoStreamInfo().Width, 320);
  EXPECT_EQ(video->time_base.den, 5);
  probe.AudioStreamInfo(1);
  EXPECT_EQ(audio->time_base.den, 1);

  EXPECT_EQ(probe.VideoStreamInfo(1).Width, -1);
  EXPECT_EQ(probe.LastErrorMessage(), "stream #1 is not video stream.");
  probe.AudioStreamInfo(0);
  EXPECT_EQ(probe.LastErrorMessage(), "stream #0 is not audio stream.");
  probe.AudioStreamInfo(2);
  EXPECT_EQ(probe.LastErrorMessage(), "stream index #2 is invalid.");

  probe.Close();
  EXPECT_EQ(context->nb_streams, 2u);  // still alive
  media::avformat_free_context(context);
}

TEST(CodecName, NamesAndTagFallbacks) {
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_MP3, 0), "mp3float(MP3 (MPEG audio layer 3))");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_MPEG2TS, 0), "mpeg2ts");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_NONE, MKTAG('a', 'b', 'c', 'd')), "abcd / 0x64636261");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_NONE, 0x01020304), "0x1020304");
}

}  // namespace
