#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/face/EngineRecords.h"
#include "frontend/DvdTaskBuilder.h"
#include "frontend/FileJob.h"
#include "frontend/FormatChoices.h"
#include "frontend/IniFile.h"
#include "frontend/SourcePicture.h"
#include "frontend/TaskBuilder.h"
#include "support/TempHome.h"

namespace {

constexpr int kCode = 201;

// One format's catalogue entry and stored choices in files of a temporary home.
class TaskBuilderTest : public ::testing::Test {
 protected:
  void Catalogue(const std::string& lines) { WriteFileBytes(catalogue.path(), "[formatInfo201]\n" + lines); }
  void Store(const char* key, const char* value) { settings.writeString("formatInfo201", key, value); }

  void Build(const TSourcePicture& source = {.VideoStreamCount = 1, .Width = 720, .Height = 576, .BitRate = 900000}) {
    Reset();
    BuildTaskOptions(job, FormatParameters(settings, catalogue, kCode), output, source, input, Ask());
  }
  void BuildDvd(int width, int height, std::uint8_t displayAspect) {
    Reset();
    DvdTitleInfo title{};
    title.Width = width;
    title.Height = height;
    title.DisplayAspect = displayAspect;
    BuildDvdTaskOptions(job, FormatParameters(settings, catalogue, kCode), output, title, input, Ask());
  }
  void Reset() {
    output = TOutputOptions{};
    input = TInputOptions{};
  }
  AskQuestion Ask() {
    return [this](const std::string& caption, const std::string& text) {
      questions.push_back(caption + "|" + text);
      return answer;
    };
  }

  TempHome home;
  IniFile settings{home.file("settings.ini")};
  IniFile catalogue{home.file("catalogue.ini")};
  TFileJob job;
  TOutputOptions output;
  TInputOptions input;
  std::vector<std::string> questions;
  bool answer = true;
};

TEST_F(TaskBuilderTest, VideoFormatSetsCodecsRatesContainerAndPicture) {
  Catalogue("Format=3gp\n");
  Store("paraVideoEncoder", "mpeg4");
  Store("paraVideoSize", "320x240");
  Store("paraVideoBitRate", "384");
  Store("paraFrameRate", "25");
  Store("paraAudioEncoder", "libfaac");
  Store("paraAudioBitRate", "12.2");
  Store("paraSampleRate", "22050");
  Store("paraChannel", "1");
  Build();
  EXPECT_EQ(output.VideoCodec, "mpeg4");
  EXPECT_EQ(output.FileFormat, "3gp");
  EXPECT_EQ(output.VideoBitrate, 384000);
  EXPECT_EQ(output.FrameRate, "25");
  EXPECT_EQ(output.VideoFilters, "crop=720:576:0:0,scale=300:240,pad=320:240:10:0");
  EXPECT_EQ(output.CropTop, 0);
  EXPECT_EQ(output.AudioCodec, "libfaac");
  EXPECT_EQ(output.AudioBitrate, 12200);
  EXPECT_EQ(output.AudioSampleRate, 22050);
  EXPECT_EQ(output.AudioChannels, 1);
  EXPECT_EQ(output.AudioVolume, 3) << "a missing volume reads as 3";
  EXPECT_FALSE(output.DisableAudio);
  EXPECT_FALSE(output.DisableVideo);
  EXPECT_TRUE(questions.empty());

  Store("paraVideoBitRate", "as source");
  Store("paraFrameRate", "as source");
  Store("paraVolume", "256");
  Store("paraAudioEncoder", " ");
  Build();
  EXPECT_EQ(output.VideoBitrate, 900000);
  EXPECT_EQ(output.FrameRate, "");
  EXPECT_EQ(output.AudioVolume, -1);
  EXPECT_TRUE(output.DisableAudio);
}

TEST_F(TaskBuilderTest, H264TakesThePresetOfTheDevice) {
  Catalogue("Format=iPod\n");
  Store("paraVideoEncoder", "libx264");
  Store("paraVideoSize", "320x240");
  Build();
  EXPECT_EQ(output.VideoPreset, "libx264-ipod");
  EXPECT_EQ(output.FileFormat, "iPod");
  Catalogue("Format=mp4\n");
  Build();
  EXPECT_EQ(output.VideoPreset, "libx264-mp4");
  EXPECT_EQ(output.FileFormat, "") << "the extension chooses the container";

  Store("paraVideoEncoder", "mpeg2video");
  Build();
  EXPECT_EQ(output.Target, 3);
  EXPECT_EQ(output.TargetNorm, 0);
  Store("paraVideoEncoder", "flv");
  Build();
  EXPECT_EQ(output.VideoCodec, "") << "the container's own encoder";
}

TEST_F(TaskBuilderTest, DiscTargetsStopAfterTheTarget) {
  Catalogue("Format=PAL-SVCD\n");
  Store("paraVideoEncoder", "mpeg4");
  Store("paraVideoSize", "320x240");
  Store("paraAudioEncoder", "mp2");
  Build();
  EXPECT_EQ(output.Target, 2);
  EXPECT_EQ(output.TargetNorm, 1);
  EXPECT_EQ(output.AspectRatio, "4:3");
  EXPECT_EQ(output.VideoCodec, "");
  EXPECT_EQ(output.AudioCodec, "");
  EXPECT_EQ(output.FrameSize, "");
  EXPECT_EQ(output.VideoFilters, "");
  EXPECT_EQ(output.CropTop, -1);

  Catalogue("Format=ntsc-dvd\n");
  Store("paraVideoSize", "720x480");
  Build();
  EXPECT_EQ(output.Target, 3);
  EXPECT_EQ(output.TargetNorm, 2);
  EXPECT_EQ(output.AspectRatio, "16:9");
}

TEST_F(TaskBuilderTest, AudioOnlyFormatDropsPictureAndSubtitles) {
  Catalogue("Format=mp3\n");
  Store("paraAudioBitRate", "as source");
  Build();
  EXPECT_EQ(output.AudioCodec, "libfaac") << "the audio-only default encoder";
  EXPECT_EQ(output.AudioBitrate, -1);
  EXPECT_EQ(output.AudioSampleRate, 44100);
  EXPECT_EQ(output.AudioChannels, 2);
  EXPECT_TRUE(output.DisableVideo);
  EXPECT_TRUE(output.DisableSubtitle);
  EXPECT_EQ(input.ExtOptions, "vn=1");
  EXPECT_EQ(output.FrameSize, "");
  EXPECT_EQ(output.VideoFilters, "");
  EXPECT_TRUE(questions.empty());

  // The AMR-NB encoder has its newer name in both paths.
  Store("paraAudioEncoder", "libamr_nb");
  Build();
  EXPECT_EQ(output.AudioCodec, "libopencore_amrnb");
  Store("paraVideoEncoder", "h263");
  Store("paraVideoSize", "176x144");
  Build();
  EXPECT_EQ(output.AudioCodec, "libopencore_amrnb");
}

TEST_F(TaskBuilderTest, SourceWithoutPictureGetsAudioOnly) {
  Catalogue("Format=mp4\n");
  Store("paraVideoEncoder", "mpeg4");
  Store("paraVideoSize", "320x240");
  Store("paraAudioEncoder", "libfaac");
  job.NeedsHook = true;
  Build({});
  EXPECT_TRUE(output.DisableVideo);
  EXPECT_EQ(output.FrameSize, "");
  EXPECT_EQ(output.VideoFilters, "");
  EXPECT_EQ(output.VideoBitrate, -1);
  EXPECT_EQ(output.AudioCodec, "libfaac");
  EXPECT_EQ(output.AudioBitrate, 128000);
  EXPECT_FALSE(output.EnableHook) << "no picture to hook";
}

TEST_F(TaskBuilderTest, FrameSizeSnapsForH263AndAsksWhenUnusable) {
  Catalogue("Format=3gp\n");
  Store("paraVideoEncoder", "h263");
  job.ZoomMode = "full";
  const std::pair<const char*, const char*> sizes[] = {
      {"400x300", "704x576"}, {"100x80", "100x80"}, {"352x288", "352x288"}, {"200x100", "352x288"},
      {"0x240", "704x576"},   {"axb", "704x576"}, {"as source", "720x576"}};
  for (const auto& [stored, expected] : sizes) {
    Store("paraVideoSize", stored);
    Build();
    EXPECT_EQ(output.FrameSize, expected) << stored;
  }
  EXPECT_TRUE(questions.empty());

  Store("paraVideoEncoder", "mpeg4");
  for (const char* unusable : {"320", "x240", "320x", "null"}) {
    Store("paraVideoSize", unusable);
    answer = true;
    Build();
    EXPECT_EQ(output.FrameSize, "320x240") << unusable;
    answer = false;
    Build();
    EXPECT_EQ(output.FrameSize, "720x576") << unusable;
  }
  ASSERT_EQ(questions.size(), 8u);
  EXPECT_EQ(questions[0], "Warning|Error output Video Size.Use the default size 320x240?");
}

TEST_F(TaskBuilderTest, VolumeThatIsNoWholeNumberFailsTheBuild) {
  Catalogue("Format=mp3\n");
  Store("paraVolume", "loud");
  try {
    Build();
    FAIL() << "no error";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "'loud' is not a valid integer value");
  }
}

// Stored values no file can be made of (an edited settings file) refuse the
// job with the message of the field instead of giving a broken file.
TEST_F(TaskBuilderTest, AbsurdStoredValuesAreRefused) {
  Catalogue("Format=mp4\nVideoEncoder=MPEG-4\nAudioEncoder=AAC\n");
  Store("paraVideoSize", "320x240");
  const struct {
    const char* key;
    const char* value;
    const char* message;
  } cases[] = {{"paraFrameRate", "0.0001", "Frame Rate is not a valid value!"},
               {"paraFrameRate", "100000", "Frame Rate is not a valid value!"},
               {"paraSampleRate", "7", "Audio SampleRate is not a valid value!"},
               {"paraSampleRate", "2000000000", "Audio SampleRate is not a valid value!"},
               {"paraAudioBitRate", "0.01", "Audio BitRate is not a valid value!"},
               {"paraAudioBitRate", "2000000", "Audio BitRate is not a valid value!"},
               {"paraChannel", "200", "Audio Channels is not a valid value!"},
               {"paraVolume", "-256", "Volume is not a valid value!"},
               {"paraVolume", "1000000", "Volume is not a valid value!"},
               {"paraVideoSize", "100000x240", "Frame Size is not a valid value!"},
               {"paraVideoSize", "320x2", "Frame Size is not a valid value!"}};
  for (const auto& c : cases) {
    Store(c.key, c.value);
    try {
      Build();
      ADD_FAILURE() << c.key << "=" << c.value << " accepted";
    } catch (const std::invalid_argument& error) {
      EXPECT_STREQ(error.what(), c.message) << c.key << "=" << c.value;
    }
    settings.writeString("formatInfo201", c.key, std::string(c.key) == "paraVolume" ? "256" : "as source");
  }
  // The ends of the ranges and the lists' own values still build.
  for (const auto& [key, value] : std::initializer_list<std::pair<const char*, const char*>>{
           {"paraFrameRate", "1"}, {"paraFrameRate", "29.97"}, {"paraSampleRate", "8000"},
           {"paraAudioBitRate", "320"}, {"paraChannel", "1"}, {"paraVolume", "1024"}, {"paraVideoSize", "16x16"}}) {
    Store(key, value);
    EXPECT_NO_THROW(Build()) << key << "=" << value;
  }
}

// A malformed size for H.263 falls back to a size H.263 can encode.
TEST_F(TaskBuilderTest, MalformedSizeForH263FallsBackToAStandardSize) {
  Catalogue("Format=3gp\n");
  Store("paraVideoEncoder", "h263");
  job.ZoomMode = "full";
  Store("paraVideoSize", "320");
  Build();
  EXPECT_EQ(output.FrameSize, "352x288");
  ASSERT_EQ(questions.size(), 1u);
}

// A format the user never touched converts with its catalogue entry's default
// items, stored as the parameter panel stores them.
TEST_F(TaskBuilderTest, UnstoredChoicesAreTheCataloguesDefaults) {
  Catalogue(
      "Format=ipod\nVideoSize=480x320,320x240\niVideoSize=1\nVideoBitRate=384,768\niVideoBitRate=1\n"
      "FrameRate=29.97,25\niFrameRate=1\nVideoEncoder=H264,MPEG-4\niVideoEncoder=0\n"
      "AudioBitRate=64,96\niAudioBitRate=1\nSampleRate=22050,44100\niSampleRate=0\n"
      "AudioEncoder=AAC\niAudioEncoder=0\nChannel=mono 1 channel,stereo 2 channels\niChannel=0\n"
      "Volume=50%,100%,150%\niVolume=2\n");
  Build();
  EXPECT_EQ(output.VideoCodec, "libx264");
  EXPECT_EQ(output.VideoBitrate, 768000);
  EXPECT_EQ(output.FrameRate, "25");
  EXPECT_EQ(output.VideoFilters, "crop=720:576:0:0,scale=300:240,pad=320:240:10:0");
  EXPECT_EQ(output.AudioCodec, "libfaac");
  EXPECT_EQ(output.AudioBitrate, 96000);
  EXPECT_EQ(output.AudioSampleRate, 22050);
  EXPECT_EQ(output.AudioChannels, 1);
  EXPECT_EQ(output.AudioVolume, 384);
  Store("paraVideoEncoder", "mpeg4");
  Store("paraChannel", "as source");
  Build();
  EXPECT_EQ(output.VideoCodec, "mpeg4") << "a stored choice wins";
  EXPECT_EQ(output.AudioChannels, -1);

  const IniFile& items = catalogue;
  EXPECT_EQ(DefaultChoice(items, kCode, "paraVolume"), "384");
  EXPECT_EQ(DefaultChoice(items, kCode, "paraZoom"), std::nullopt);
  EXPECT_EQ(StoredVolume("33%"), std::nullopt);
  EXPECT_EQ(StoredAudioEncoder("WMA2"), "wmav2");
  EXPECT_EQ(StoredVideoEncoder("Xvid"), "libxvid");
  EXPECT_EQ(StoredChannel("Stereo 2 channels"), std::nullopt);
}

TEST_F(TaskBuilderTest, JobRecordGivesTrimAndHook) {
  Catalogue("Format=avi\n");
  Store("paraVideoEncoder", "mpeg4");
  Store("paraVideoSize", "320x240");
  Build();
  EXPECT_EQ(input.StartTime, 0);
  EXPECT_EQ(output.RecordingTime, kNoTime);
  EXPECT_FALSE(output.EnableHook);
  job = {.ZoomMode = "full", .CropTop = 16, .TrimStart = 1500000, .TrimLength = 2000000, .NeedsHook = true};
  Build();
  EXPECT_EQ(input.StartTime, 1500000);
  EXPECT_EQ(output.RecordingTime, 2000000);
  EXPECT_TRUE(output.EnableHook);
  EXPECT_EQ(output.CropTop, 16);
}

}  // namespace

// A DVD title is fitted by its display aspect, not its storage pixels: a 4:3
// NTSC title fills a 320x240 frame, a 16:9 one sits between 30-line bars, and
// PAL titles the same. Pixels of the output are square.
TEST_F(TaskBuilderTest, DvdTitlesAreFittedByTheirDisplayAspect) {
  Catalogue("Format=3gp\n");
  Store("paraVideoEncoder", "mpeg4");
  Store("paraVideoSize", "320x240");
  job.ZoomMode = "lbox";
  struct Case {
    int width, height;
    std::uint8_t aspect;
    const char* filters;
  } cases[] = {
      {720, 480, 0, "crop=720:480:0:0,scale=320:240,pad=320:240:0:0"},
      {720, 480, 3, "crop=720:480:0:0,scale=320:180,pad=320:240:0:30"},
      {720, 576, 0, "crop=720:576:0:0,scale=320:240,pad=320:240:0:0"},
      {720, 576, 3, "crop=720:576:0:0,scale=320:180,pad=320:240:0:30"},
      {352, 288, 0, "crop=352:288:0:0,scale=320:240,pad=320:240:0:0"},
  };
  for (const Case& c : cases) {
    BuildDvd(c.width, c.height, c.aspect);
    EXPECT_EQ(output.VideoFilters, c.filters) << c.width << "x" << c.height << " aspect " << int(c.aspect);
    EXPECT_EQ(output.FrameSize, "320x240");
    EXPECT_EQ(output.AspectRatio, "320:240");
  }
  const TSourcePicture wide = DvdTitlePicture([] {
    DvdTitleInfo title{};
    title.Width = 720, title.Height = 576, title.DisplayAspect = 3;
    return title;
  }());
  EXPECT_EQ(wide.SampleAspectNum, 64);
  EXPECT_EQ(wide.SampleAspectDen, 45);
}

// The letterbox cases on a picture whose display aspect is its storage aspect
// (square pixels), built with the DVD rules.
TEST_F(TaskBuilderTest, DvdLetterboxCasesOnSquarePixels) {
  Catalogue("Format=mp4\n");
  Store("paraVideoEncoder", "mpeg4");
  job.ZoomMode = "lbox";
  struct Case {
    int sw, sh;
    const char* size;
    const char* filters;
  } cases[] = {
      {720, 480, "320x240", "crop=720:480:0:0,scale=320:212,pad=320:240:0:14"},  // both smaller, wider source
      {720, 576, "720x576", "crop=720:576:0:0,scale=720:576,pad=720:576:0:0"},   // the same size
      {640, 240, "320x240", "crop=640:240:0:0,scale=320:120,pad=320:240:0:60"},  // narrower, as high
      {320, 480, "640x480", "crop=320:480:0:0,scale=320:480,pad=640:480:160:0"}, // wider, as high
      {160, 120, "640x480", "crop=160:120:0:0,scale=640:480,pad=640:480:0:0"},   // both larger, same shape
      {200, 100, "640x480", "crop=200:100:0:0,scale=640:320,pad=640:480:0:80"},  // both larger, wider source
  };
  for (const Case& c : cases) {
    Store("paraVideoSize", c.size);
    Reset();
    BuildTaskOptions(job, FormatParameters(settings, catalogue, kCode), output,
                     TSourcePicture{.VideoStreamCount = 1, .Width = c.sw, .Height = c.sh}, input, Ask(),
                     SourceRules{.discTargetCompletes = false, .sourceBitRateFallback = false});
    EXPECT_EQ(output.VideoFilters, c.filters) << c.sw << "x" << c.sh << " into " << c.size;
  }
}

// A DVD title goes on past a disc target to codecs and picture, and a bit rate
// "as source" stays unset: the title has no bit rate to take.
TEST_F(TaskBuilderTest, DvdTitlesGoOnPastDiscTargetsWithoutSourceBitRate) {
  Catalogue("Format=pal-dvd\n");
  Store("paraVideoEncoder", "mpeg2video");
  Store("paraVideoSize", "720x576");
  Store("paraVideoBitRate", "as source");
  Store("paraAudioEncoder", "ac3");
  BuildDvd(720, 576, 0);
  EXPECT_EQ(output.Target, 3);
  EXPECT_EQ(output.TargetNorm, 1);
  EXPECT_EQ(output.VideoCodec, "mpeg2video");
  EXPECT_EQ(output.VideoBitrate, -1);
  EXPECT_EQ(output.AudioCodec, "ac3");
  EXPECT_FALSE(output.VideoFilters.empty());

  Catalogue("Format=mp3\n");
  Store("paraVideoEncoder", " ");
  BuildDvd(720, 576, 0);
  EXPECT_TRUE(output.DisableVideo) << "an audio-only format still drops the picture";
  EXPECT_TRUE(output.VideoFilters.empty());
}

namespace {

// A quality level encodes at constant quality: the encoder's quality option
// and no bit rate, for a DVD title too; an encoder without such an option and
// a level that is no level refuse the build, as a bad bit rate does.
TEST_F(TaskBuilderTest, QualityLevelGivesConstantQualityWithoutABitRate) {
  Catalogue("Format=mp4\n");
  Store("paraVideoEncoder", "libx264");
  Store("paraVideoBitRate", "Quality 20");
  Build();
  EXPECT_EQ(output.VideoBitrate, -1);
  EXPECT_EQ(output.ExtOptions, "crf=20\nb=0");
  BuildDvd(720, 576, 0);
  EXPECT_EQ(output.ExtOptions, "crf=20\nb=0");

  Store("paraVideoEncoder", "mpeg4");
  EXPECT_THROW(
      {
        try {
          Build();
        } catch (const std::invalid_argument& error) {
          EXPECT_STREQ(error.what(), "Video BitRate is not a valid value!");
          throw;
        }
      },
      std::invalid_argument);

  Store("paraVideoEncoder", "libx264");
  for (const char* notALevel : {"Quality 64", "Quality -1", "Quality", "quality 20", "Quality 2x"}) {
    Store("paraVideoBitRate", notALevel);
    Build();
    EXPECT_EQ(output.ExtOptions.find("crf"), std::string::npos) << notALevel;
  }
}

}  // namespace
