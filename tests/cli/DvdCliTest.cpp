#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TestDvd.h"
#include "support/RunCli.h"

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

}  // namespace
