// Film on NTSC sources: whole pictures flagged to repeat fields (soft
// telecine) stay whole, film woven into 3:2 fields (hard telecine) is matched
// back into its film pictures; true NTSC video is still deinterlaced.
#include <gtest/gtest.h>

#include <string>

#include "media/MediaLoader.h"
#include "testmedia/Telecine.h"
#include "picture/InterlacedClips.h"
#include "support/DecodedFrames.h"
#include "support/FilmCadence.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

constexpr double kClipSeconds = 2;
constexpr int kFilmPictures = 48;  // 2 s of 23.976 film

class Telecine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string Write(const test_media::MediaSpec& spec, const char* name) const {
    const std::string path = home.file(name);
    test_media::WriteMedia(spec, path);
    return path;
  }
  // 720x480 H.264 at 29.97, the rate of most formats, with a deinterlacing choice.
  std::string Convert(const std::string& source, const std::string& mode, const char* name) const {
    const std::string output = home.file(name);
    const CliRun run =
        RunCli("convert -i '" + source + "' " + mode + " vcodec=libx264 s=720x480 r=29.97 acodec=aac -o '" + output + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return output;
  }

  TempHome home;
};

TEST_F(Telecine, HardTelecinedFilmComesOutAsWholeFilmPictures) {
  const std::string source = Write(test_media::HardTelecineSpec(kClipSeconds), "hard.mpg");
  // Kept as it is, two of every five pictures are combed.
  EXPECT_GE(ReadFilmCadence(Convert(source, "", "never.mp4")).combed, 20);
  for (const char* mode : {"autodeinterlace=1", "deinterlace=1"}) {
    SCOPED_TRACE(mode);
    const FilmCadence cadence = ReadFilmCadence(Convert(source, mode, "matched.mp4"));
    EXPECT_EQ(cadence.Faults(kFilmPictures), "");
  }
}

TEST_F(Telecine, SoftTelecinedFilmStaysWhole) {
  const std::string source = Write(test_media::SoftTelecineSpec(kClipSeconds), "soft.mpg");
  for (const char* mode : {"", "autodeinterlace=1"}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(ReadFilmCadence(Convert(source, mode, "soft.mp4")).Faults(kFilmPictures), "");
  }
}

// Video taken a field at a time is not mistaken for film: every picture stays
// and loses its combs.
TEST_F(Telecine, TrueNtscVideoIsDeinterlacedNotDecimated) {
  test_media::MediaSpec spec = test_media::HardTelecineSpec(kClipSeconds);
  spec.video->draw = [](AVFrame& frame, std::int64_t index) { test_media::DrawInterlacedBar(frame, index, true); };
  const std::string source = Write(spec, "video.mpg");
  const std::string kept = Convert(source, "", "never.mp4"), deinterlaced = Convert(source, "autodeinterlace=1", "auto.mp4");
  EXPECT_GT(interlaced_clips::CombRatio(kept), 1.3);
  EXPECT_LE(interlaced_clips::CombRatio(deinterlaced), 1.0);
  // Pictures of the source that differ stay different: none was dropped as a repeat.
  int distinct = 0;
  std::vector<std::uint8_t> previous;
  ForEachDecodedFrame(deinterlaced, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    std::vector<std::uint8_t> row(frame.data[0] + frame.height / 2 * frame.linesize[0],
                                  frame.data[0] + frame.height / 2 * frame.linesize[0] + frame.width);
    distinct += row != previous;
    previous = std::move(row);
  });
  EXPECT_GE(distinct, CountDecodedFrames(kept, AVMEDIA_TYPE_VIDEO) - 2);
}

}  // namespace
