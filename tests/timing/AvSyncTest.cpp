// Sound and picture stay in step through every catalogue video format: clips
// with a white flash and a beep at each whole second, from a constant 25 fps
// program stream and a variable frame rate MP4, converted as the window does;
// the decoded output's flashes and beeps are compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/PlatformPaths.h"
#include "engine/MediaLoader.h"
#include "frontend/FormatList.h"
#include "media/FlashBeep.h"
#include "support/RunCli.h"
#include "support/SyncOffsets.h"
#include "support/TempHome.h"

namespace {

using test_media::FlashBeepKind;

constexpr double kClipSeconds = 8;

struct Case {
  int code;
  FlashBeepKind source;
};

void PrintTo(const Case& c, std::ostream* out) { *out << "format " << c.code; }

std::string SourceName(FlashBeepKind kind) {
  switch (kind) {
    case FlashBeepKind::Pal25: return "pal25";
    case FlashBeepKind::Ntsc2997: return "ntsc2997";
    case FlashBeepKind::Variable: return "variable";
  }
  return "";
}

class AvSync : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }
  TempHome home;
};

TEST_P(AvSync, FlashesAndBeepsStayTogether) {
  const Case& c = GetParam();
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  const auto spec = test_media::FlashBeepSpec(c.source, kClipSeconds);
  const std::string source = home.file((SourceName(c.source) + (spec.muxer == "mp4" ? ".mp4" : ".mpg")).c_str());
  test_media::WriteMedia(spec, source);
  const std::string extension = format_catalogue::FormatFileExt(catalogue, c.code);
  const std::string folder = home.file("out");
  const CliRun run = RunCli("convert --format " + std::to_string(c.code) + " -d '" + folder + "' '" + source + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string output = folder + "/" + SourceName(c.source) + "_(new)." + extension;
  const SyncOffsets sync = MeasureSync(output);
  std::printf("sync %s: %s\n", SourceName(c.source).c_str(), MeasureSync(source).Describe().c_str());
  std::printf("sync %s into %d: %s\n", SourceName(c.source).c_str(), c.code, sync.Describe().c_str());
  ASSERT_GE(sync.offsetsMs.size(), size_t(kClipSeconds) - 1) << sync.Describe();
  EXPECT_LE(std::fabs(sync.MeanMs()), 15) << sync.Describe();
  EXPECT_LE(sync.PercentileMs(0.95), 40) << sync.Describe();
  EXPECT_LE(sync.MaxMs(), 80) << sync.Describe();
  EXPECT_NEAR(sync.beeps.front(), sync.flashes.front(), 0.04) << "the first beep is kept";
}

std::vector<Case> VideoCases() {
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  std::vector<Case> cases;
  for (const auto& format : format_catalogue::AllFormats()) {
    const std::string encoder = catalogue.readString(format_catalogue::FormatSection(format.code), "VideoEncoder", "null");
    if (encoder == "null" || encoder.empty()) continue;
    for (const FlashBeepKind source : {FlashBeepKind::Pal25, FlashBeepKind::Variable}) cases.push_back({format.code, source});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, AvSync, ::testing::ValuesIn(VideoCases()), [](const auto& info) {
  return SourceName(info.param.source) + "Into" + std::to_string(info.param.code);
});

}  // namespace
