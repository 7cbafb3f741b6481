// Damaged and unusual input: every conversion ends, a stop ends it quickly and
// leaves a valid file, and an empty result is a failure, never a success.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "engine/face/MediaEngine.h"
#include "engine/setup/EngineTask.h"
#include "testmedia/Damage.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "testmedia/MediaWriter.h"
#include "testmedia/RawFiles.h"
#include "testmedia/TestMedia.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Options = std::vector<std::pair<std::string, std::string>>;
namespace fs = std::filesystem;
using test_media::AudioSpec;
using test_media::MediaSpec;
using test_media::VideoSpec;

constexpr const char* kEmptyOutput = "Output file is empty, nothing was encoded";

struct Outcome {
  bool opened = false;  // input and output opened; the run took place
  bool ended = true;    // the run returned within the time limit
  bool finished = false;
  bool exception = false;
  std::string error;
  Clock::duration runTime{};
};

// Streams of a file that hold at least one packet; -1 when it cannot be opened.
int tracksWithPackets(const std::string& path) {
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return -1;
  std::vector<bool> seen(input->nb_streams);
  AVPacket* packet = media::av_packet_alloc();
  while (media::av_read_frame(input, packet) >= 0) {
    seen[size_t(packet->stream_index)] = true;
    media::av_packet_unref(packet);
  }
  media::av_packet_free(&packet);
  media::avformat_close_input(&input);
  return int(std::count(seen.begin(), seen.end(), true));
}

class Robustness : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string out(const std::string& name) const { return home.file(name.c_str()); }

  std::string write(const MediaSpec& spec, const std::string& name) const {
    const std::string path = out(name);
    test_media::WriteMedia(spec, path);
    return path;
  }

  // Converts on a thread of its own; a run still going after `limit` is
  // stopped and reported as not ended.
  Outcome convert(const std::string& input, const Options& options, const std::string& output,
                  Clock::duration limit = 20s, const FrameHookHandler& hook = {}) {
    Outcome outcome;
    TCustomEngineTask task;
    task.SetVerbosity(-1);
    if (!task.OpenInputFile(input)) {
      outcome.error = task.ErrorText();
      return outcome;
    }
    try {
      for (const auto& [name, value] : options) task.ApplyOption(name, value);
    } catch (const EngineException& e) {
      outcome.error = e.what();
      return outcome;
    }
    if (task.OpenOutputFile(output, false) < 0) {
      outcome.error = task.ErrorText();
      return outcome;
    }
    if (hook) task.SetFrameHook(hook);
    outcome.opened = true;
    const auto started = Clock::now();
    auto run = std::async(std::launch::async, [&] { task.Run(); });
    outcome.ended = run.wait_for(limit) == std::future_status::ready;
    if (!outcome.ended) task.RequestStop();
    run.wait();
    outcome.runTime = Clock::now() - started;
    outcome.finished = task.Finished();
    outcome.exception = task.Exception();
    outcome.error = task.ErrorText();
    return outcome;
  }

  TempHome home;
};

MediaSpec flvSource() {
  return {.muxer = "flv",
          .video = VideoSpec{.encoder = "flv"},
          .audio = AudioSpec{.encoder = "libmp3lame", .sampleRate = 22050, .channels = 1, .bitRate = 32000}};
}

// One damaged time stamp must not turn into hours of one repeated picture.
TEST_F(Robustness, ClockJumpOfHoursIsResynchronisedNotDuplicated) {
  const std::string clean = write(flvSource(), "clean.flv");
  const std::string jumped = out("jumped.flv");
  // From the 30th tag on, every time stamp is three hours later.
  WriteFileBytes(jumped, test_media::ShiftFlvTimestamps(ReadFileBytes(clean), 30, 3 * 3600 * 1000));
  const int sourceFrames = CountDecodedFrames(clean, AVMEDIA_TYPE_VIDEO);
  ASSERT_EQ(sourceFrames, 50);

  int discontinuities = 0;
  TMediaLogger::instance().SetOnLog([&](const void*, std::uint32_t, TLogLevel level, const std::string& text) {
    if (level == llWarning && text.find("time stamp jump") != std::string::npos) ++discontinuities;
  });
  for (const char* name : {"jumped.avi", "jumped.mp4"}) {
    SCOPED_TRACE(name);
    discontinuities = 0;
    const Outcome outcome = convert(jumped, {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}, out(name));
    ASSERT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.finished) << outcome.error;
    EXPECT_LT(outcome.runTime, 5s);
    EXPECT_EQ(discontinuities, 1);
    const int frames = CountDecodedFrames(out(name), AVMEDIA_TYPE_VIDEO);
    EXPECT_GE(frames, sourceFrames - 1);
    EXPECT_LE(frames, sourceFrames + 2);
    EXPECT_LT(fs::file_size(out(name)), 2'000'000u);
  }
  TMediaLogger::instance().SetOnLog(nullptr);
}

// Transport streams from cameras and receivers rarely start at 0: every source
// picture must reach the output, with or without the 2^33 clock wrap.
TEST_F(Robustness, TransportStreamsNotStartingAtZeroKeepEveryFrame) {
  const double wrapSeconds = double(1LL << 33) / 90000;
  for (const double start : {1.4, wrapSeconds - 0.5}) {
    SCOPED_TRACE(start);
    // One key frame only: a seek back to the start would land behind it.
    const MediaSpec spec{.muxer = "mpegts",
                         .video = VideoSpec{.encoder = "libx264", .gopSize = 1000, .options = {{"preset", "veryfast"}, {"bf", "3"}}},
                         .audio = AudioSpec{.encoder = "mp2", .sampleRate = 48000},
                         .muxerOptions = {{"output_ts_offset", std::to_string(start)}}};
    const std::string source = write(spec, "camera.ts");
    const int sourceFrames = CountDecodedFrames(source, AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(sourceFrames, 50);
    const std::string output = out("camera.mp4");
    const Outcome outcome = convert(source, {{"vcodec", "mpeg4"}, {"acodec", "aac"}}, output);
    ASSERT_TRUE(outcome.finished) << outcome.error;
    EXPECT_EQ(CountDecodedFrames(output, AVMEDIA_TYPE_VIDEO), sourceFrames);
    EXPECT_GT(CountDecodedFrames(output, AVMEDIA_TYPE_AUDIO), 0);
  }
}

// Nothing encoded is a failure with a reason, and no trackless file is left.
TEST_F(Robustness, EmptyResultFailsAndLeavesNoFile) {
  const std::string source = test_media::Path(test_media::Kind::Mp4H264Aac);
  const Options cases[] = {{{"vframes", "0"}}, {{"ss", "30"}}};
  for (const auto& options : cases) {
    SCOPED_TRACE(options.front().first);
    const std::string output = out("empty.mp4");
    const Outcome outcome = convert(source, options, output);
    ASSERT_TRUE(outcome.opened) << outcome.error;
    EXPECT_FALSE(outcome.finished);
    EXPECT_TRUE(outcome.exception);
    EXPECT_EQ(outcome.error, kEmptyOutput);
    EXPECT_FALSE(fs::exists(output));
  }
  const CliRun cli = RunCli("convert -i '" + source + "' ss=30 -o '" + out("cli.mp4") + "'");
  EXPECT_EQ(cli.exitCode, 1);
  EXPECT_NE(cli.output.find(kEmptyOutput), std::string::npos) << cli.output;
  EXPECT_FALSE(fs::exists(out("cli.mp4")));
}

// Values the libraries refuse fail the output like the engine's own option
// errors instead of being dropped; -1 in the option record still means "not set".
TEST_F(Robustness, RefusedOptionValuesFailTheOutput) {
  const std::string source = test_media::Path(test_media::Kind::Mp4H264Aac);
  const std::pair<const char*, const char*> refused[] = {
      {"vol=-1", "Invalid value \"-1\" for option \"vol\""},
      {"vol=-100", "Invalid value \"-100\" for option \"vol\""},
      {"ab=-1", "Invalid value \"-1\" for option \"ab\""},
      {"b=-1", "Invalid value \"-1\" for option \"b\""},
      {"g=99999999999", "Invalid value \"99999999999\" for option \"g\""},
  };
  TMediaEngine engine;
  for (const auto& [line, text] : refused) {
    SCOPED_TRACE(line);
    engine.ClearTasks();
    const int task = engine.AddTask(source, nullptr);
    ASSERT_GE(task, 0) << engine.LastErrorMessage();
    TOutputOptions options;
    options.AudioCodec = "aac";
    options.ExtOptions = line;
    EXPECT_FALSE(engine.SetOutputFile(task, out("refused.mp4"), &options));
    EXPECT_EQ(engine.LastErrorMessage(), text);
  }
  engine.ClearTasks();
  const int task = engine.AddTask(source, nullptr);
  TOutputOptions unset;
  unset.AudioCodec = "aac";
  ASSERT_EQ(unset.AudioVolume, -1);
  EXPECT_TRUE(engine.SetOutputFile(task, out("unset.m4a"), &unset)) << engine.LastErrorMessage();
  engine.ClearTasks();
}

// A stop ends the run quickly even while the encoder still holds many
// pictures: what it holds after a short grace time is left out, and the file
// stays readable.
TEST_F(Robustness, StopEndsQuicklyWhileEncodersFlush) {
  const std::string source = test_media::Path(test_media::Kind::DvdPalMpeg2Ac3);
  const std::string output = out("stopped.mkv");
  // The hook asks for the stop at the last picture: the slow encoder then holds every frame.
  Clock::time_point stopAt{};
  int pictures = 0;
  const Options slow = {{"vcodec", "libx264"}, {"preset", "medium"}, {"rc-lookahead", "60"}, {"acodec", "libvorbis"}};
  {
    TCustomEngineTask task;
    task.SetVerbosity(-1);
    ASSERT_TRUE(task.OpenInputFile(source)) << task.ErrorText();
    for (const auto& [name, value] : slow) task.ApplyOption(name, value);
    ASSERT_GE(task.OpenOutputFile(output, false), 0) << task.ErrorText();
    task.SetFrameHook([&](AVFrame*, int, std::int64_t) {
      if (++pictures == 50) {
        stopAt = Clock::now();
        task.RequestStop();
      }
      return true;
    });
    task.Run();
    const auto afterStop = Clock::now() - stopAt;
    ASSERT_EQ(pictures, 50);
    // Encoding all the held pictures takes several times the grace time, so a
    // run that honours the stop leaves some of them out; the time is only a
    // guard against a hang, as a loaded machine stretches it.
    EXPECT_LT(afterStop, 2s);
    EXPECT_FALSE(task.Finished());
    EXPECT_FALSE(task.Exception()) << task.ErrorText();
  }
  EXPECT_GE(tracksWithPackets(output), 1);
  EXPECT_LT(CountDecodedFrames(output, AVMEDIA_TYPE_VIDEO), 49);  // the stop came with the 50th
}

// The command line stops on SIGTERM like on Ctrl-C; a second Ctrl-C ends it at once.
TEST_F(Robustness, CommandLineStopsOnSignals) {
  const std::string source = test_media::Path(test_media::Kind::DvdPalMpeg2Ac3);
  const std::string output = out("signal.mp4");
  const std::string convert = "convert re=1 -i '" + source + "' vcodec=mpeg4 -o '" + output + "'";
  const CliRun terminated = RunCli(convert + " & pid=$!; sleep 0.8; kill -TERM $pid; wait $pid; exit $?", true);
  EXPECT_EQ(terminated.exitCode, 130) << terminated.output;
  EXPECT_GE(tracksWithPackets(output), 1);
  const CliRun twice = RunCli(convert + " & pid=$!; sleep 0.8; kill -INT $pid; kill -INT $pid; wait $pid; exit $?", true);
  EXPECT_EQ(twice.exitCode, 130) << twice.output;
}

// A cut-off AC-3 file names the real fault.
TEST_F(Robustness, AudioWithoutSampleRateIsNamed) {
  const std::string ac3 = write({.muxer = "ac3", .audio = AudioSpec{.encoder = "ac3", .sampleRate = 48000}}, "tone.ac3");
  const std::string cut = out("cut.ac3");
  WriteFileBytes(cut, ReadFileBytes(ac3).substr(0, 300));
  const Outcome outcome = convert(cut, {{"acodec", "aac"}}, out("cut.m4a"));
  EXPECT_FALSE(outcome.finished);
  EXPECT_NE(outcome.error.find(cut + ": audio stream #0 has no sample rate"), std::string::npos) << outcome.error;
}

// Damaged copies of generated files: every conversion ends well within its time
// limit, either finished with at least one track or failed with a reason.
TEST_F(Robustness, DamagedCopiesEndWithAResult) {
  const std::string sources[] = {
      test_media::Path(test_media::Kind::Mp4H264Aac), test_media::Path(test_media::Kind::AviMpeg4Mp3),
      test_media::Path(test_media::Kind::Mkv),        test_media::Path(test_media::Kind::Mp3Id3),
      test_media::Path(test_media::Kind::DvdPalMpeg2Ac3), write(flvSource(), "source.flv"),
      write({.muxer = "mpegts", .video = VideoSpec{.encoder = "mpeg2video"}, .audio = AudioSpec{.encoder = "mp2"}},
            "source.ts"),
      write({.muxer = "ac3", .audio = AudioSpec{.encoder = "ac3", .sampleRate = 48000}}, "source.ac3"),
  };
  std::uint32_t seed = 9;
  int finished = 0, failed = 0;
  for (const auto& source : sources) {
    for (const auto& copy : test_media::DamagedCopies(ReadFileBytes(source), 5, seed++)) {
      const std::string name = fs::path(source).filename().string() + ": " + copy.name;
      SCOPED_TRACE(name);
      const std::string damaged = out("damaged" + fs::path(source).extension().string());
      WriteFileBytes(damaged, copy.bytes);
      const std::string output = out("damaged.mp4");
      fs::remove(output);
      const Outcome outcome = convert(damaged, {{"vcodec", "mpeg4"}, {"acodec", "aac"}, {"s", "176x144"}}, output, 10s);
      ASSERT_TRUE(outcome.ended);
      EXPECT_LT(outcome.runTime, 3s);
      if (outcome.finished) {
        ++finished;
        EXPECT_GE(tracksWithPackets(output), 1);
      } else {
        ++failed;
        EXPECT_FALSE(outcome.error.empty());
        if (outcome.opened) {
          EXPECT_FALSE(fs::exists(output) && tracksWithPackets(output) < 1);
        }
      }
    }
  }
  EXPECT_GT(finished, 0);
  EXPECT_GT(failed, 0);
}

}  // namespace
