// Sound and picture stay in step through every catalogue video format: clips
// with a white flash and a beep at each whole second, from constant 25 and
// 29.97 fps program streams, a variable frame rate MP4 and a DVD title,
// converted as the window does; the decoded output's flashes and beeps are
// compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "engine/face/MediaEngine.h"
#include "frontend/DvdTaskBuilder.h"
#include "frontend/FileJob.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "testmedia/FlashBeep.h"
#include "media/MediaLoader.h"
#include "support/RunCli.h"
#include "support/SyncOffsets.h"
#include "support/TempHome.h"
#include "TestDvd.h"

namespace {

using test_media::FlashBeepKind;

constexpr double kClipSeconds = 8;

enum class Source { Pal25, Ntsc2997, Variable, DvdTitle };

struct Case {
  int code;
  Source source;
};

void PrintTo(const Case& c, std::ostream* out) { *out << "format " << c.code; }

std::string SourceName(Source source) {
  switch (source) {
    case Source::Pal25: return "pal25";
    case Source::Ntsc2997: return "ntsc2997";
    case Source::Variable: return "variable";
    case Source::DvdTitle: return "dvdtitle";
  }
  return "";
}

class AvSync : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  // The command line's way, as the window converts files: the output's path.
  std::string ConvertFile(Source source, int code, const std::string& extension) const {
    const FlashBeepKind kind = source == Source::Pal25      ? FlashBeepKind::Pal25
                               : source == Source::Ntsc2997 ? FlashBeepKind::Ntsc2997
                                                            : FlashBeepKind::Variable;
    const auto spec = test_media::FlashBeepSpec(kind, kClipSeconds);
    const std::string path = home.file((SourceName(source) + (spec.muxer == "mp4" ? ".mp4" : ".mpg")).c_str());
    test_media::WriteMedia(spec, path);
    std::printf("sync %s: %s\n", SourceName(source).c_str(), MeasureSync(path).Describe().c_str());
    const std::string folder = home.file("out");
    const CliRun run = RunCli("convert --format " + std::to_string(code) + " -d '" + folder + "' '" + path + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return folder + "/" + SourceName(source) + "_(new)." + extension;
  }

  // The window's DVD start for the Film disc's flash-and-beep title.
  std::string ConvertDvdTitle(int code, const std::string& extension) const {
    if (!LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation)) {
      ADD_FAILURE() << DvdLastError();
      return {};
    }
    const IniFile settings(platform_paths::SettingsFilePath());
    const IniFile catalogue(platform_paths::CatalogueFilePath());
    DvdTitleInfo title{};
    title.Width = 352;
    title.Height = 240;
    TInputOptions input;
    input.FileName = BuildOpenDvdString(test_dvd::Path(test_dvd::Disc::Film), DvdParam{2, 0, 99, 0xC0, 0, 2, 0});
    TOutputOptions output;
    output.FileName = home.file(("dvdtitle." + extension).c_str());
    BuildDvdTaskOptions(TFileJob{.ZoomMode = "lbox"}, FormatParameters(settings, catalogue, code), output, title, input,
                        [](const std::string&, const std::string&) { return true; });
    TMediaEngine engine;
    const int task = engine.AddTask(input.FileName, &input);
    EXPECT_TRUE(task >= 0 && engine.SetOutputFile(task, output.FileName, &output)) << engine.LastErrorMessage();
    TTerminateInfo end;
    engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
      if (info.TaskIndex >= 0) end = info;
    };
    engine.StartTask(0);
    EXPECT_TRUE(end.Finished) << end.ExceptionMsg;
    return output.FileName;
  }

  TempHome home;
};

TEST_P(AvSync, FlashesAndBeepsStayTogether) {
  const Case& c = GetParam();
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  const std::string extension = format_catalogue::FormatFileExt(catalogue, c.code);
  const std::string output =
      c.source == Source::DvdTitle ? ConvertDvdTitle(c.code, extension) : ConvertFile(c.source, c.code, extension);
  const SyncOffsets sync = MeasureSync(output);
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
    for (const Source source : {Source::Pal25, Source::Ntsc2997, Source::Variable, Source::DvdTitle})
      cases.push_back({format.code, source});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, AvSync, ::testing::ValuesIn(VideoCases()), [](const auto& info) {
  return SourceName(info.param.source) + "Into" + std::to_string(info.param.code);
});

}  // namespace
