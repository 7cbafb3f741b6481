#include <gtest/gtest.h>

#include <filesystem>

#include "engine/setup/EngineTask.h"
#include "media/MediaLoader.h"
#include "testmedia/TestMedia.h"
#include "probe/MediaProbe.h"
#include "support/TempHome.h"

namespace {

using test_media::Kind;
using Options = std::vector<std::pair<std::string, std::string>>;
namespace fs = std::filesystem;

struct Outcome {
  bool finished = false;
  bool exception = false;
  std::string error;
  std::vector<TaskProgress> reports;
};

class TranscodeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string out(const std::string& name) const { return home.file(name.c_str()); }

  // One input, one output, options applied before the output opens.
  Outcome convert(const std::string& input, const Options& options, const std::string& output,
                  const std::function<void(TCustomEngineTask&, const TaskProgress&)>& onProgress = {}) {
    TCustomEngineTask task;
    return run(task, {input}, options, output, false, onProgress);
  }

  Outcome run(TCustomEngineTask& task, const std::vector<std::string>& inputs, const Options& options,
              const std::string& output, bool join,
              const std::function<void(TCustomEngineTask&, const TaskProgress&)>& onProgress = {}) {
    Outcome outcome;
    for (const auto& input : inputs)
      if (!task.OpenInputFile(input)) {
        outcome.error = task.ErrorText();
        return outcome;
      }
    for (const auto& [name, value] : options) task.ApplyOption(name, value);
    if (task.OpenOutputFile(output, join) < 0) {
      outcome.error = task.ErrorText();
      return outcome;
    }
    task.SetProgressInterval(0);
    task.SetProgressHandler([&](const TaskProgress& progress) {
      outcome.reports.push_back(progress);
      if (onProgress) onProgress(task, progress);
    });
    task.Run();
    outcome.finished = task.Finished();
    outcome.exception = task.Exception();
    outcome.error = task.ErrorText();
    return outcome;
  }

  TempHome home;
  TMediaProbe probe;
};

struct Target {
  const char* name;
  Options options;
  const char* videoCodec;  // nullptr: no video expected
  int width, height;
  const char* audioCodec;
  int sampleRate, channels;
};

// A DVD-like MPEG-2/AC-3 source converted with the settings the formats of the
// catalogue use: every output holds what was asked for and lasts as long as the source.
TEST_F(TranscodeTest, DvdSourceToTheDeviceFormats) {
  const Target targets[] = {
      {"phone.3gp", {{"vcodec", "h263"}, {"s", "176x144"}, {"r", "15"}, {"b", "128000"}, {"acodec", "libfaac"},
                     {"ar", "22050"}, {"ac", "1"}, {"ab", "32000"}}, "h263", 176, 144, "aac", 22050, 1},
      {"ipod.mp4", {{"f", "ipod"}, {"vcodec", "libx264"}, {"vpre", "libx264-ipod"}, {"s", "320x240"},
                    {"acodec", "aac"}, {"ar", "44100"}, {"ab", "128000"}}, "h264", 320, 240, "aac", 44100, 2},
      {"xvid.avi", {{"vcodec", "libxvid"}, {"s", "320x240"}, {"acodec", "libmp3lame"}, {"ab", "128000"}},
       "mpeg4", 320, 240, "mp3", 48000, 2},
      {"pocket.wmv", {{"vcodec", "wmv2"}, {"s", "320x240"}, {"acodec", "wmav2"}, {"ar", "44100"}},
       "wmv2", 320, 240, "wmav2", 44100, 2},
      {"vcd.mpg", {{"target", "ntsc-vcd"}}, "mpeg1video", 352, 240, "mp2", 44100, 2},
  };
  const std::string source = test_media::Path(Kind::DvdNtscMpeg2Ac3);
  for (const auto& target : targets) {
    SCOPED_TRACE(target.name);
    const auto outcome = convert(source, target.options, out(target.name));
    ASSERT_TRUE(outcome.finished) << outcome.error;
    ASSERT_TRUE(probe.LoadFile(out(target.name))) << probe.LastErrorMessage();
    const auto video = probe.VideoStreamInfo();
    EXPECT_EQ(video.CodecName.substr(0, video.CodecName.find('(')), target.videoCodec);
    EXPECT_EQ(video.Width, target.width);
    EXPECT_EQ(video.Height, target.height);
    const auto audio = probe.AudioStreamInfo();
    EXPECT_EQ(audio.CodecName.substr(0, std::string(target.audioCodec).size()), target.audioCodec);
    EXPECT_EQ(audio.SampleRate, target.sampleRate);
    EXPECT_EQ(audio.Channels, target.channels);
    EXPECT_NEAR(double(probe.FileStreamInfo().Duration) / 1e6, 2.0, 0.25);
  }
}

TEST_F(TranscodeTest, IpodPresetGivesBaselineH264) {
  const auto outcome = convert(test_media::Path(Kind::DvdPalMpeg2Ac3),
                               {{"f", "ipod"}, {"vcodec", "libx264"}, {"vpre", "libx264-ipod"}, {"s", "320x240"},
                                {"acodec", "aac"}},
                               out("ipod.mp4"));
  ASSERT_TRUE(outcome.finished) << outcome.error;
  ASSERT_TRUE(probe.LoadFile(out("ipod.mp4")));
  EXPECT_NE(probe.FileInfoText().find("h264 (Constrained Baseline)"), std::string::npos) << probe.FileInfoText();
}

TEST_F(TranscodeTest, DvPalTarget) {
  const auto outcome = convert(test_media::Path(Kind::DvdPalMpeg2Ac3), {{"target", "pal-dv"}}, out("pal.dv"));
  ASSERT_TRUE(outcome.finished) << outcome.error;
  ASSERT_TRUE(probe.LoadFile(out("pal.dv")));
  EXPECT_EQ(probe.VideoStreamInfo().Width, 720);
  EXPECT_EQ(probe.VideoStreamInfo().Height, 576);
  EXPECT_EQ(probe.AudioStreamInfo().SampleRate, 48000);
}

// Without the target preset the encoder still gets the picture format 480-line DV needs.
TEST_F(TranscodeTest, DvNtscFromTheEncoderName) {
  const auto outcome = convert(test_media::Path(Kind::DvdNtscMpeg2Ac3),
                               {{"vcodec", "dvvideo"}, {"s", "720x480"}, {"r", "29.97"}, {"acodec", "pcm_s16le"},
                                {"ar", "48000"}},
                               out("ntsc.dv"));
  ASSERT_TRUE(outcome.finished) << outcome.error;
  ASSERT_TRUE(probe.LoadFile(out("ntsc.dv")));
  EXPECT_NE(probe.FileInfoText().find("dvvideo"), std::string::npos);
  EXPECT_EQ(probe.VideoStreamInfo().Height, 480);
}

TEST_F(TranscodeTest, AudioOnlyFormats) {
  const std::pair<const char*, Options> targets[] = {
      {"a.mp3", {{"vn", "1"}, {"acodec", "libmp3lame"}, {"ab", "128000"}}},
      {"a.m4a", {{"vn", "1"}, {"acodec", "libfaac"}}},
      {"a.wav", {{"vn", "1"}, {"acodec", "pcm_s16le"}}},
      {"a.ogg", {{"vn", "1"}, {"acodec", "vorbis"}}},
      {"a.ac3", {{"vn", "1"}, {"acodec", "ac3"}}},
      {"a.wma", {{"vn", "1"}, {"acodec", "wmav2"}}},
  };
  for (const auto& [name, options] : targets) {
    SCOPED_TRACE(name);
    const auto outcome = convert(test_media::Path(Kind::Mp4H264Aac), options, out(name));
    ASSERT_TRUE(outcome.finished) << outcome.error;
    ASSERT_TRUE(probe.LoadFile(out(name)));
    EXPECT_EQ(probe.VideoStreamCount(), 0);
    EXPECT_EQ(probe.AudioStreamCount(), 1);
    EXPECT_NEAR(double(probe.FileStreamInfo().Duration) / 1e6, 2.0, 0.2);
    // Reports of an audio-only conversion start at once.
    EXPECT_FALSE(outcome.reports.empty());
  }
}

TEST_F(TranscodeTest, JoinedInputsFollowEachOther) {
  TCustomEngineTask task;
  const std::string clip = test_media::Path(Kind::Mp4H264Aac);
  const auto outcome = run(task, {clip, clip}, {{"vcodec", "mpeg4"}, {"acodec", "aac"}}, out("joined.mp4"), true);
  ASSERT_TRUE(outcome.finished) << outcome.error;
  ASSERT_FALSE(outcome.reports.empty());
  ASSERT_TRUE(probe.LoadFile(clip));
  const auto single = probe.FileStreamInfo().Duration;
  EXPECT_EQ(outcome.reports.back().totalDuration, 2 * single);
  ASSERT_TRUE(probe.LoadFile(out("joined.mp4")));
  EXPECT_NEAR(double(probe.FileStreamInfo().Duration), 2.0 * single, 200000);
}

TEST_F(TranscodeTest, RecordingTimeLimitsTheOutput) {
  const auto outcome = convert(test_media::Path(Kind::Mp4H264Aac), {{"t", "1"}, {"vcodec", "mpeg4"}}, out("short.mp4"));
  ASSERT_TRUE(outcome.finished) << outcome.error;
  EXPECT_EQ(outcome.reports.back().totalDuration, 1000000);
  ASSERT_TRUE(probe.LoadFile(out("short.mp4")));
  EXPECT_NEAR(double(probe.FileStreamInfo().Duration) / 1e6, 1.0, 0.15);
}

// A stop ends the packet loop only: the file is still complete and playable.
TEST_F(TranscodeTest, StoppedRunWritesAPlayableFile) {
  const auto outcome = convert(test_media::Path(Kind::DvdPalMpeg2Ac3), {{"vcodec", "mpeg4"}, {"s", "176x144"}},
                               out("stopped.mp4"), [](TCustomEngineTask& task, const TaskProgress& progress) {
                                 if (progress.frameNumber >= 10) task.RequestStop();
                               });
  EXPECT_FALSE(outcome.finished);
  EXPECT_FALSE(outcome.exception) << outcome.error;
  ASSERT_TRUE(probe.LoadFile(out("stopped.mp4"))) << probe.LastErrorMessage();
  const auto duration = probe.FileStreamInfo().Duration;
  EXPECT_GT(duration, 0);
  EXPECT_LT(duration, 1900000);
}

TEST_F(TranscodeTest, ConstantRateDuplicatesFramesOfASlowerSource) {
  ASSERT_TRUE(convert(test_media::Path(Kind::VideoOnlyMp4), {{"r", "10"}, {"vcodec", "mpeg4"}}, out("ten.mp4")).finished);
  const auto outcome = convert(out("ten.mp4"), {{"vsync", "1"}, {"r", "25"}, {"vcodec", "mpeg4"}}, out("25.avi"));
  ASSERT_TRUE(outcome.finished) << outcome.error;
  EXPECT_NE(outcome.reports.back().text.find(" dup="), std::string::npos) << outcome.reports.back().text;
}

TEST_F(TranscodeTest, FailedRunLeavesNoEmptyFile) {
  // h263 accepts only its standard sizes: the encoder refuses to open.
  const auto outcome = convert(test_media::Path(Kind::VideoOnlyMp4), {{"vcodec", "h263"}, {"s", "100x100"}},
                               out("refused.3gp"));
  EXPECT_TRUE(outcome.exception);
  EXPECT_EQ(outcome.error.rfind("Error while opening encoder for output stream #0.0 (h263)", 0), 0u) << outcome.error;
  EXPECT_FALSE(fs::exists(out("refused.3gp")));
}

// Media made by other tools converts to MP4 and MP3; the corrupt file fails clearly.
TEST_F(TranscodeTest, RealWorldSamplesConvert) {
  const fs::path folder = OXBEL_SHARED_MEDIA;
  if (!fs::exists(folder)) GTEST_SKIP();
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (entry.path().extension() == ".md") continue;
    SCOPED_TRACE(name);
    const bool corrupt = name == "fixture-corrupt.mkv";
    TMediaProbe source;
    source.LoadFile(entry.path());
    const auto toMp4 = convert(entry.path(), {{"vcodec", "mpeg4"}, {"s", "176x144"}, {"acodec", "aac"}},
                               out(name + ".mp4"));
    const auto toMp3 = convert(entry.path(), {{"vn", "1"}, {"acodec", "libmp3lame"}}, out(name + ".mp3"));
    if (corrupt) {
      EXPECT_EQ(toMp4.error, entry.path().string() + ": Invalid data found when processing input");
      continue;
    }
    EXPECT_TRUE(toMp4.finished) << toMp4.error;
    if (source.AudioStreamCount() > 0) {
      EXPECT_TRUE(toMp3.finished) << toMp3.error;
    }
  }
}

}  // namespace
