#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "TestDvd.h"
#include "media/MediaLoader.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

TEST(DvdCli, ListsTheTitlesOfADisc) {
  // Only the listing: routine library notes about unencrypted folders stay out of it.
  const CliRun run = RunCli("dvd titles '" + test_dvd::Path(test_dvd::Disc::Folder) + "'");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output,
            "Title 1: 0:00:03.000, 720x576, MPEG-2, 3 chapters\n"
            "  Audio 128: English AC3 2ch\n"
            "  Audio 129: German AC3 2ch\n"
            "  Subtitle 32: English\n"
            "Title 2: 0:00:03.000, 720x576, MPEG-2, 2 chapters\n"
            "  Audio 128: English AC3 2ch\n"
            "  Audio 129: German AC3 2ch\n"
            "Title 3: 0:00:02.402, 720x480, MPEG-2, 2 chapters\n"
            "  Audio 192: French MPEG 2ch\n");
  const CliRun truncated = RunCli("dvd titles '" + test_dvd::Path(test_dvd::Disc::TruncatedIfo) + "'");
  EXPECT_EQ(truncated.exitCode, 0);
  EXPECT_NE(truncated.output.find("Title 3: invalid\n"), std::string::npos) << truncated.output;
}

TEST(DvdCli, FailsClearlyWithoutADisc) {
  const std::string folder = std::string(OXBEL_PROGRAM_DIR) + "/LibAV";
  const CliRun run = RunCli("dvd titles '" + folder + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find(folder + " is not a readable DVD: The DVD has no readable title table."),
            std::string::npos)
      << run.output;
  EXPECT_EQ(RunCli("dvd titles").exitCode, 2);
  EXPECT_EQ(RunCli("dvd chapters x").exitCode, 2);
  EXPECT_NE(RunCli("--help").output.find("dvd titles PATH"), std::string::npos);
}

// A title converts as the window's job "DVD Title N" does, under its name.
TEST(DvdCli, ConvertsATitleWithAFormatOfTheCatalogue) {
  TempHome home;
  const std::string folder = home.file("titles");
  const std::string disc = test_dvd::Path(test_dvd::Disc::TwoSubtitles);
  const CliRun run = RunCli("convert --format 1100 -d '" + folder + "' --title 1 '" + disc + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string output = folder + "/DVD Title 1_(new).mkv";
  EXPECT_NE(run.output.find("[1/1] DVD Title 1 -> " + output + ": converted"), std::string::npos) << run.output;
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  EXPECT_NEAR(CountDecodedFrames(output, AVMEDIA_TYPE_VIDEO), 75, 2);  // 3 s of PAL pictures
}

TEST(DvdCli, TitleConversionFailsClearlyWithoutTheTitle) {
  TempHome home;
  const std::string folder = home.file("titles");
  const std::string disc = test_dvd::Path(test_dvd::Disc::Folder);
  const CliRun missingTitle = RunCli("convert --format 800 -d '" + folder + "' --title 4 '" + disc + "'");
  EXPECT_EQ(missingTitle.exitCode, 1);
  EXPECT_NE(missingTitle.output.find("the DVD " + disc + " has no title 4 (titles 1 to 3)"), std::string::npos)
      << missingTitle.output;
  const std::string nothing = home.file("no-disc");
  const CliRun missingDisc = RunCli("convert --format 800 -d '" + folder + "' --title 1 '" + nothing + "'");
  EXPECT_EQ(missingDisc.exitCode, 1);
  EXPECT_NE(missingDisc.output.find(nothing + " is not a readable DVD: "), std::string::npos) << missingDisc.output;
  EXPECT_EQ(RunCli("convert --format 800 --title 0 '" + disc + "'").exitCode, 1);
  EXPECT_EQ(RunCli("convert --format 800 --title 1 '" + disc + "' '" + disc + "'").exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(folder + "/DVD Title 4_(new).mp4"));
  EXPECT_NE(RunCli("--help").output.find("--title N DVD"), std::string::npos);
}

}  // namespace
