// Interlaced video (two fields taken at two moments) loses its comb teeth;
// progressive pictures that are only flagged interlaced are not softened.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "frontend/IniFile.h"
#include "media/MediaLoader.h"
#include "picture/InterlacedClips.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

using namespace interlaced_clips;

// Peak signal to noise of the luma of two files' middle pictures, in dB.
double LumaPsnr(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::uint8_t>> pictures[2];
  for (int i = 0; i < 2; ++i)
    ForEachDecodedFrame(i ? b : a, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
      std::vector<std::uint8_t> luma;
      for (int y = 0; y < frame.height; ++y)
        luma.insert(luma.end(), frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0],
                    frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0] + frame.width);
      pictures[i].push_back(std::move(luma));
    });
  if (pictures[0].empty() || pictures[0].size() != pictures[1].size()) return -1;
  const auto& x = pictures[0][pictures[0].size() / 2];
  const auto& y = pictures[1][pictures[1].size() / 2];
  double error = 0;
  for (size_t i = 0; i < x.size(); ++i) error += double(x[i] - y[i]) * (x[i] - y[i]);
  error /= double(x.size());
  return error == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / error);
}

class Deinterlace : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string Source(bool fieldsApart, const char* name) const { return WriteBarClip(fieldsApart, home.file(name)); }
  // 640x480 H.264, as the phone and general formats make it.
  std::string Convert(const std::string& source, const std::string& mode, const char* name) const {
    const std::string output = home.file(name);
    const CliRun run = RunCli("convert -i '" + source + "' " + mode + " vcodec=libx264 s=640x480 -o '" + output + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return output;
  }

  TempHome home;
};

TEST_F(Deinterlace, AlwaysAndAutoRemoveCombsNeverKeepsThem) {
  const std::string source = Source(true, "interlaced.mpg");
  const std::string combed = Convert(source, "", "never.mp4"), deinterlaced = Convert(source, "deinterlace=1", "always.mp4");
  // One picture per frame: the frame rate stays.
  EXPECT_EQ(CountDecodedFrames(deinterlaced, AVMEDIA_TYPE_VIDEO), CountDecodedFrames(combed, AVMEDIA_TYPE_VIDEO));
  const double never = CombRatio(combed);
  const double always = CombRatio(deinterlaced);
  const double automatic = CombRatio(Convert(source, "autodeinterlace=1", "auto.mp4"));
  SCOPED_TRACE("comb ratio never " + std::to_string(never) + " always " + std::to_string(always) + " auto " +
               std::to_string(automatic));
  EXPECT_GT(never, 1.3);
  EXPECT_LE(always, 1.0);
  EXPECT_LE(automatic, 1.0);
}

TEST_F(Deinterlace, AutoLeavesProgressivePicturesFlaggedInterlacedAlone) {
  const std::string source = Source(false, "progressive.mpg");
  const std::string untouched = Convert(source, "", "never.mp4");
  const std::string automatic = Convert(source, "autodeinterlace=1", "auto.mp4");
  EXPECT_EQ(CountDecodedFrames(untouched, AVMEDIA_TYPE_VIDEO), CountDecodedFrames(automatic, AVMEDIA_TYPE_VIDEO));
  EXPECT_GE(LumaPsnr(untouched, automatic), 45);
}

// The window's way: the stored choice (Tools › Preference) reaches the
// conversion; Auto when nothing is stored.
TEST_F(Deinterlace, StoredChoiceReachesFormatConversions) {
  const std::string source = Source(true, "tv.mpg");
  auto convert = [&](const char* folder) {
    const std::string out = home.file(folder);
    const CliRun run = RunCli("convert --format 603 -d '" + out + "' '" + source + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return CombRatio(out + "/tv_(new).mp4");
  };
  EXPECT_LE(convert("auto"), 1.0);
  IniFile(home.settingsPath().toStdString()).writeString("settings", "deinterlace", "never");
  EXPECT_GT(convert("never"), 1.3);
}

}  // namespace
