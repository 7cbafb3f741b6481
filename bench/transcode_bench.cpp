// Engine speed against a straight-line pipeline with the same codec settings.
// Converts a generated 60 s 720x480 MPEG-2 + AC-3 source to (a) 3GP h263
// 176x144 + AAC and (b) MP4 libx264 640x480 with the ipod preset + AAC, each run
// three times in child processes, alternating, and prints engine time / floor time
// (best of the runs) and the engine's peak resident memory.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "BenchSource.h"
#include "FloorPipeline.h"
#include "engine/EngineTask.h"
#include "engine/MediaLoader.h"
#include "engine/Presets.h"

namespace {

constexpr int kRounds = 3;

bool runEngine(const BenchProfile& profile, const std::string& input, const std::string& output) {
  TCustomEngineTask task;
  task.SetVerbosity(0);
  if (!task.OpenInputFile(input)) return false;
  for (const auto& [name, value] : profile.engineOptions) task.ApplyOption(name, value);
  if (task.OpenOutputFile(output, false) < 0) return false;
  task.Run();
  if (!task.Finished()) std::fprintf(stderr, "%s\n", task.ErrorText().c_str());
  return task.Finished();
}

bool runFloor(const BenchProfile& profile, const std::string& input, const std::string& output) {
  try {
    RunFloorPipeline(profile, input, output);
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!TMediaLoader::instance().loadSet(kEngineLibraries)) {
    std::fprintf(stderr, "%s\n", TMediaLoader::instance().lastError().c_str());
    return 1;
  }
  const std::string folder = argc > 1 ? argv[1] : "bench-data";
  std::filesystem::create_directories(folder);
  const std::string source = BenchSource(folder);

  const BenchProfile profiles[] = {
      {"3gp-h263-176x144", "h263", 176, 144, "3gp", "",
       {{"f", "3gp"}, {"vcodec", "h263"}, {"s", "176x144"}, {"acodec", "aac"}, {"ab", "128000"}}},
      {"mp4-x264-ipod-640x480", "libx264", 640, 480, "ipod", FindBuiltinPreset("libx264-ipod")->text,
       {{"f", "ipod"}, {"vcodec", "libx264"}, {"vpre", "libx264-ipod"}, {"s", "640x480"}, {"acodec", "aac"},
        {"ab", "128000"}}},
  };
  for (const auto& profile : profiles) {
    const std::string engineOut = folder + "/engine_" + profile.name + "." + (profile.format == "3gp" ? "3gp" : "mp4");
    const std::string floorOut = folder + "/floor_" + profile.name + "." + (profile.format == "3gp" ? "3gp" : "mp4");
    Measurement engine, floor;
    for (int round = 0; round < kRounds; ++round) {
      const auto f = MeasureInChild([&] { return runFloor(profile, source, floorOut); });
      const auto e = MeasureInChild([&] { return runEngine(profile, source, engineOut); });
      if (f.seconds < floor.seconds) floor = f;
      if (e.seconds < engine.seconds) engine = e;
    }
    std::printf("%-24s engine %.2f s  floor %.2f s  ratio %.3f  engine peak RSS %.1f MiB\n", profile.name.c_str(),
                engine.seconds, floor.seconds, engine.seconds / floor.seconds, engine.peakKilobytes / 1024.0);
  }
  return 0;
}
