#include "CurrentFormatsBench.h"

#include <cstdio>

#include "BenchSource.h"
#include "engine/face/MediaEngine.h"
#include "frontend/FileJob.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "frontend/TaskBuilder.h"

namespace {

constexpr double kSeconds = 60, kPictures = kSeconds * 25;
constexpr int kFirstCurrentGroup = 8;

// One conversion as the window starts it, with no settings stored.
bool Convert(int code, const std::string& source, const std::string& folder) {
  const IniFile settings(folder + "/no-settings.ini");
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  const std::string output = folder + "/current_" + std::to_string(code) + "." +
                             format_catalogue::FormatFileExt(catalogue, code);
  std::remove(output.c_str());
  TMediaEngine engine;
  if (!engine.Probe().LoadFile(source)) return false;
  TInputOptions input;
  input.FileName = source;
  TOutputOptions options;
  options.FileName = output;
  BuildTaskOptions(TFileJob{}, FormatParameters(settings, catalogue, code), options, engine.Probe(), input,
                   [](const std::string&, const std::string&) { return true; });
  engine.Probe().Close();
  const int task = engine.AddTask(source, &input);
  if (task < 0 || !engine.SetOutputFile(task, output, &options)) return false;
  bool finished = false;
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    if (info.TaskIndex >= 0) finished = info.Finished;
  };
  engine.StartTask(0);
  return finished;
}

bool IsVideoFormat(int code) {
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  return catalogue.readString(format_catalogue::FormatSection(code), "VideoEncoder", "null") != "null";
}

}  // namespace

void BenchCurrentFormats(const std::string& folder) {
  const std::string source = InterlacedPalBenchSource(folder);
  for (const auto& format : format_catalogue::AllFormats()) {
    if (format.code / 100 < kFirstCurrentGroup || !IsVideoFormat(format.code)) continue;
    const Measurement m = MeasureInChild([&] { return Convert(format.code, source, folder); });
    std::printf("%4d %-52s %6.1f pictures/s  %.2f x real time  (%.2f cores)\n", format.code, format.name,
                kPictures / m.seconds, kSeconds / m.seconds, m.cpuSeconds / m.seconds);
    std::fflush(stdout);  // the next child must not inherit the line to print it again
  }
}
