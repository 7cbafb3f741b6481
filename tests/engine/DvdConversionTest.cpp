#include <gtest/gtest.h>

#include <cmath>

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "engine/setup/EngineTask.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "picture/InterlacedClips.h"
#include "probe/MediaProbe.h"
#include "SubtitleBoxes.h"
#include "support/DecodedFrames.h"
#include "support/DecodedSubtitles.h"
#include "support/FilmCadence.h"
#include "support/PacketTimes.h"
#include "support/TempHome.h"
#include "TestDvd.h"

namespace {

using test_dvd::Disc;

// Mean luma of every video frame of a file, with the frame's time in seconds.
std::vector<std::pair<double, double>> frameLuma(const std::string& path) {
  std::vector<std::pair<double, double>> frames;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double seconds) {
    double sum = 0;
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x) sum += frame.data[0][y * frame.linesize[0] + x];
    frames.emplace_back(seconds, sum / (frame.width * frame.height));
  });
  return frames;
}

struct BoxesShown {
  double seconds;  // the frame's time
  bool top, bottom;
};

// Which of the WideSubtitles boxes each video frame of a file shows.
std::vector<BoxesShown> boxesShown(const std::string& path) {
  std::vector<BoxesShown> frames;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double seconds) {
    const auto luma = [&](int x, int y) { return double(frame.data[0][y * frame.linesize[0] + x]); };
    frames.push_back({seconds, test_dvd::ShowsBox(luma, test_dvd::kTopBox), test_dvd::ShowsBox(luma, test_dvd::kBottomBox)});
  });
  return frames;
}

// Checks that the frames show the box of subtitle stream `stream` (0 top, 1
// bottom) during the subtitles' display time, and no box outside it; `from`:
// the title time of the file's start.
void expectOnlyTrackShown(const std::vector<BoxesShown>& frames, int stream, double from) {
  int inside = 0;
  for (const BoxesShown& frame : frames) {
    const double time = from + frame.seconds;
    if (time > test_dvd::kLateSubtitleStart + 0.2 && time < test_dvd::kLateSubtitleEnd - 0.2) {
      ++inside;
      EXPECT_EQ(frame.top, stream == 0) << "top box at " << time << " s, stream " << stream;
      EXPECT_EQ(frame.bottom, stream == 1) << "bottom box at " << time << " s, stream " << stream;
    } else if (time < test_dvd::kLateSubtitleStart - 0.1 || time > test_dvd::kLateSubtitleEnd + 0.1) {
      EXPECT_FALSE(frame.top || frame.bottom) << "a box at " << time << " s";
    }
  }
  EXPECT_GT(inside, 20);
}

class DvdConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
    ASSERT_TRUE(LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation)) << DvdLastError();
  }

  std::string source(Disc disc, int title, int from, int to, int audio, int subtitle = 0, int deinterlace = 0) {
    DvdParam param{};
    param.Deinterlace = deinterlace;
    param.Title = title - 1;
    param.FromChapter = from;
    param.ToChapter = to;
    param.AudioID = audio;
    param.SubtitleID = subtitle;
    param.AudioChannels = 2;
    return BuildOpenDvdString(test_dvd::Path(disc), param);
  }

  // Converts to an MP4 with MPEG-4 video and AAC audio, from a start time and
  // for a recording time when given; returns the error text.
  std::string convert(const std::string& input, const std::string& output, double startSeconds = 0,
                      double recordSeconds = 0) {
    TCustomEngineTask task;
    if (startSeconds > 0) task.ApplyOption("ss", std::to_string(startSeconds));
    if (recordSeconds > 0) task.ApplyOption("t", std::to_string(recordSeconds));
    if (!task.OpenInputFile(input)) return task.ErrorText();
    task.ApplyOption("vcodec", "mpeg4");
    task.ApplyOption("s", "352x288");
    task.ApplyOption("acodec", "aac");
    if (task.OpenOutputFile(output, false) < 0) return task.ErrorText();
    task.Run();
    return task.Finished() ? std::string() : "not finished: " + task.ErrorText();
  }

  double durationOf(const std::string& path) {
    TMediaProbe probe;
    return probe.LoadFile(path) ? double(probe.FileStreamInfo().Duration) / 1e6 : -1;
  }

  std::string ConvertDeinterlaced(Disc disc, int title, int deinterlace, const char* size, const char* name);

  TempHome home;
};

TEST_F(DvdConversion, ChaptersLastTheirDiscTimeAndTheChosenAudioIsKept) {
  const std::string input = source(Disc::Folder, 1, 1, 2, 0x81);
  TMediaProbe probe;
  ASSERT_TRUE(probe.LoadFile(input)) << probe.LastErrorMessage();
  EXPECT_NEAR(double(probe.FileStreamInfo().Duration) / 1e6, 2.4, 0.05);

  const std::string output = home.file("title1.mp4");
  ASSERT_EQ(convert(input, output), "");
  TMediaProbe result;
  ASSERT_TRUE(result.LoadFile(output));
  EXPECT_NEAR(double(result.VideoStreamInfo().DurationMicroseconds) / 1e6, 2.4, 0.1);
  EXPECT_EQ(result.AudioStreamCount(), 1);
  EXPECT_NEAR(ToneFrequency(output), test_dvd::kGermanHz, 15);

  ASSERT_EQ(convert(source(Disc::Folder, 1, 1, 2, 0x80), home.file("english.mp4")), "");
  EXPECT_NEAR(ToneFrequency(home.file("english.mp4")), test_dvd::kEnglishHz, 15);
}

// DVD sound is stored ahead of its pictures: a range that stops before the
// title's end still has sound up to its last picture, and neither stream runs
// past the range's disc time; the range to the title's end too.
// A range that starts after the first chapter begins with its first picture:
// the sound of the chapter before, multiplexed beside it, is left out.
TEST_F(DvdConversion, ChapterRangesEndTheirSoundAndPictureAtTheDiscTime) {
  struct Range {
    int from, to;
    double seconds;
  } ranges[] = {{1, 2, 2.4}, {1, 3, 3.0}, {2, 3, 1.8}, {2, 2, 1.2}};
  for (const Range& range : ranges) {
    const std::string output = home.file(("chapters" + std::to_string(range.from) + std::to_string(range.to) + ".mp4").c_str());
    ASSERT_EQ(convert(source(Disc::Folder, 1, range.from, range.to, 0x80), output), "");
    SCOPED_TRACE("chapters " + std::to_string(range.from) + " to " + std::to_string(range.to));
    EXPECT_NEAR(PacketEndSeconds(output, AVMEDIA_TYPE_VIDEO), range.seconds, 0.04) << "video";
    EXPECT_NEAR(PacketEndSeconds(output, AVMEDIA_TYPE_AUDIO), range.seconds, 0.04) << "audio";
  }
}

TEST_F(DvdConversion, MpegAudioTitleAndIsoConvert) {
  const std::string output = home.file("title3.mp4");
  ASSERT_EQ(convert(source(Disc::Iso, 3, 1, 99, 0xC0), output), "");
  EXPECT_NEAR(durationOf(output), 2.4, 0.2);
  EXPECT_NEAR(ToneFrequency(output), test_dvd::kFrenchHz, 15);
}

// Title 2's cells come from two VOB files: the timeline stays continuous.
TEST_F(DvdConversion, TitleFromTwoVobsKeepsItsFullLength) {
  const std::string output = home.file("title2.mp4");
  ASSERT_EQ(convert(source(Disc::Folder, 2, 1, 99, 0x80), output), "");
  TMediaProbe probe;
  ASSERT_TRUE(probe.LoadFile(output));
  EXPECT_NEAR(double(probe.VideoStreamInfo().DurationMicroseconds) / 1e6, 3.0, 0.15);
}

TEST_F(DvdConversion, StartTimeSeeksByTheDiscTables) {
  const std::string output = home.file("from1s.mp4");
  ASSERT_EQ(convert(source(Disc::Folder, 1, 1, 99, 0x80), output, 1.0), "");
  EXPECT_NEAR(durationOf(output), 2.0, 0.5);
}

TEST_F(DvdConversion, DamagedDiscConvertsToTheEndWithAWarning) {
  int warnings = 0;
  TMediaLogger::instance().SetOnLog([&](const void*, std::uint32_t, TLogLevel level, const std::string&) {
    if (level == llWarning) ++warnings;
  });
  const std::string output = home.file("damaged.mp4");
  const std::string error = convert(source(Disc::Damaged, 1, 1, 99, 0x80), output);
  TMediaLogger::instance().SetOnLog(nullptr);
  ASSERT_EQ(error, "");
  EXPECT_GT(warnings, 0);
  EXPECT_NEAR(durationOf(output), 3.0, 0.3);
}

// The chosen subpicture is drawn into the frames of its display time only.
TEST_F(DvdConversion, SubtitleIsBurnedIntoItsFramesOnly) {
  ASSERT_EQ(convert(source(Disc::Folder, 1, 1, 99, 0x80, 0), home.file("plain.mp4")), "");
  ASSERT_EQ(convert(source(Disc::Folder, 1, 1, 99, 0x80, 0x20), home.file("subtitled.mp4")), "");
  const auto plain = frameLuma(home.file("plain.mp4"));
  const auto subtitled = frameLuma(home.file("subtitled.mp4"));
  ASSERT_EQ(plain.size(), subtitled.size());
  int inside = 0, changedInside = 0;
  for (size_t i = 0; i < plain.size(); ++i) {
    const double time = plain[i].first;
    const double difference = std::abs(subtitled[i].second - plain[i].second);
    if (time > test_dvd::kSubtitleStart + 0.2 && time < test_dvd::kSubtitleEnd - 0.2) {
      ++inside;
      if (difference > 1.0) ++changedInside;
    }
    if (time < test_dvd::kSubtitleStart - 0.1 || time > test_dvd::kSubtitleEnd + 0.1) {
      EXPECT_LT(difference, 0.5) << "at " << time << " s";
    }
  }
  EXPECT_GT(inside, 10);
  EXPECT_EQ(changedInside, inside);
}

// A 16:9 title lists its two subtitle tracks by their 16:9 fields, and each
// listed ID burns in its own track, although the demuxer meets a track's
// stream only at its first subtitle, 30 s into the title: long after the
// stream information was read, here also after a start time.
TEST_F(DvdConversion, EachListedSubtitleOfAWideTitleBurnsInItsOwnTrack) {
  ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::WideSubtitles)), 1);
  DvdTitleInfo title;
  ASSERT_TRUE(DVDGetTitle(0, title));
  ASSERT_EQ(title.SubtitleCount, 2);
  constexpr double kFrom = test_dvd::kLateSubtitleStart - 1;
  for (int i = 0; i < title.SubtitleCount; ++i) {
    const int stream = title.Subtitles[i].ID - 0x20;
    ASSERT_EQ(stream, i) << "the 16:9 field of subtitle " << i;
    const std::string output = home.file(("track" + std::to_string(i) + ".mp4").c_str());
    ASSERT_EQ(convert(source(Disc::WideSubtitles, 1, 1, 99, 0x80, title.Subtitles[i].ID), output, kFrom, 2.5), "");
    expectOnlyTrackShown(boxesShown(output), stream, kFrom);
  }
}

// A title read whole copies both subpicture tracks although the demuxer meets
// their streams only while converting: each becomes its own track, with its
// language and box, beside the copied sound.
TEST_F(DvdConversion, LateSubtitleStreamsOfAWholeTitleBecomeTracks) {
  std::string path;
  DvdParam param{};
  bool hasParameters = false;
  ASSERT_TRUE(ParseOpenDvdString(source(Disc::WideSubtitles, 1, 1, 99, 0x80, 0x21), path, param, hasParameters));
  const std::string output = home.file("whole.mkv");
  constexpr double kFrom = test_dvd::kLateSubtitleStart - 1;
  TCustomEngineTask task;
  task.ApplyOption("ss", std::to_string(kFrom));
  task.ApplyOption("t", "2.5");
  ASSERT_TRUE(task.OpenInputFile(BuildOpenDvdString(path, param, {.allStreams = true}))) << task.ErrorText();
  task.ApplyOption("vcodec", "mpeg4");
  task.ApplyOption("acodec", "copy");
  ASSERT_GE(task.OpenOutputFile(output, false), 0) << task.ErrorText();
  task.Run();
  ASSERT_TRUE(task.Finished()) << task.ErrorText();
  const auto subtitles = DecodeSubtitleStreams(output);
  ASSERT_EQ(subtitles.size(), 2u);
  const test_dvd::Box boxes[] = {test_dvd::kBottomBox, test_dvd::kTopBox};  // the chosen stream 1 first
  for (size_t i = 0; i < 2; ++i) {
    ASSERT_FALSE(subtitles[i].empty()) << "track " << i;
    EXPECT_NEAR(subtitles[i].front().start, test_dvd::kLateSubtitleStart - kFrom, 0.1);
    EXPECT_NEAR(subtitles[i].front().y, boxes[i].y, 5) << "track " << i;
  }
}

// From the start of the title the late subpicture stream is burned in too.
TEST_F(DvdConversion, LateSubtitleIsBurnedInFromTheTitlesStart) {
  const std::string output = home.file("whole.mp4");
  ASSERT_EQ(convert(source(Disc::WideSubtitles, 1, 1, 99, 0x80, 0x21), output), "");
  const auto frames = boxesShown(output);
  EXPECT_NEAR(frames.back().seconds, test_dvd::kLateTitleSeconds, 0.1);
  expectOnlyTrackShown(frames, 1, 0);
}

// An audio ID the title does not have leaves a picture-only conversion.
TEST_F(DvdConversion, MissingAudioStreamConvertsTheVideoOnly) {
  const std::string output = home.file("silent.mp4");
  ASSERT_EQ(convert(source(Disc::Folder, 1, 1, 99, 0x87), output), "");
  TMediaProbe probe;
  ASSERT_TRUE(probe.LoadFile(output));
  EXPECT_EQ(probe.AudioStreamCount(), 0);
  EXPECT_EQ(probe.VideoStreamCount(), 1);
}

}  // namespace

namespace {

// An interlaced DVD title: the DVD source's deinterlacing field (1 always,
// 2 auto) takes the comb teeth out of a 640x480 output; 0 keeps them.
// H.264 of a title's whole length with the DVD source's deinterlacing field
// (0 never, 1 always, 2 auto) at 29.97 fps; the output's path.
std::string DvdConversion::ConvertDeinterlaced(Disc disc, int title, int deinterlace, const char* size, const char* name) {
  const std::string output = home.file(name);
  TCustomEngineTask task;
  EXPECT_TRUE(task.OpenInputFile(source(disc, title, 0, 99, 0x80, 0, deinterlace))) << task.ErrorText();
  for (const auto& [option, value] :
       {std::pair{"vcodec", "libx264"}, {"s", size}, {"r", "29.97"}, {"acodec", "aac"}})
    task.ApplyOption(option, value);
  EXPECT_GE(task.OpenOutputFile(output, false), 0) << task.ErrorText();
  task.Run();
  EXPECT_TRUE(task.Finished()) << task.ErrorText();
  return output;
}

TEST_F(DvdConversion, InterlacedTitleIsDeinterlacedAsAsked) {
  auto combs = [&](int deinterlace, const char* name) {
    return interlaced_clips::CombRatio(ConvertDeinterlaced(Disc::Interlaced, 1, deinterlace, "640x480", name));
  };
  const double never = combs(0, "never.mp4"), always = combs(1, "always.mp4"), automatic = combs(2, "auto.mp4");
  SCOPED_TRACE("comb ratio never " + std::to_string(never) + " always " + std::to_string(always) + " auto " +
               std::to_string(automatic));
  EXPECT_GT(never, 1.3);
  EXPECT_LE(always, 1.0);
  EXPECT_LE(automatic, 1.0);
}

// NTSC film titles: soft telecine stays whole pictures, hard telecine is
// matched back into them, when the DVD source asks for deinterlacing.
TEST_F(DvdConversion, FilmTitlesComeOutAsWholeFilmPictures) {
  const int filmPictures = int(test_dvd::kFilmTitleSeconds * 24000 / 1001);
  EXPECT_EQ(ReadFilmCadence(ConvertDeinterlaced(Disc::Film, 1, 2, "720x480", "soft.mp4")).Faults(filmPictures), "");
  EXPECT_EQ(ReadFilmCadence(ConvertDeinterlaced(Disc::Film, 2, 2, "720x480", "hard.mp4")).Faults(filmPictures), "");
  EXPECT_GE(ReadFilmCadence(ConvertDeinterlaced(Disc::Film, 2, 0, "720x480", "combed.mp4")).combed, 20);
}

}  // namespace
