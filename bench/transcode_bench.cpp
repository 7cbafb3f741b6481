// Engine speed against a straight-line pipeline with the same codec settings.
// Converts a generated 60 s 720x480 MPEG-2 + AC-3 source to (a) 3GP h263
// 176x144 + AAC and (b) MP4 libx264 640x480 with the ipod preset + AAC, each run
// three times in child processes, alternating, and prints engine time / floor time
// (best of the runs) with the wall and CPU time of each, then the engine's peak
// resident memory on the 1-minute source against a 10-minute one, written to
// 3GP and to the null muxer (which keeps no index). "FOLDER picture" runs only
// the picture chain's cases; "FOLDER formats" the speed of every video format
// for today's devices on the 60 s PAL title.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "BenchSource.h"
#include "CurrentFormatsBench.h"
#include "engine/options/Presets.h"
#include "engine/setup/EngineTask.h"
#include "FloorPipeline.h"
#include "media/MediaLoader.h"

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

void printRow(const char* what, const Measurement& m) {
  std::printf("  %-7s wall %6.2f s  CPU %6.2f s  (%.2f cores)  peak RSS %6.1f MiB\n", what, m.seconds, m.cpuSeconds,
              m.cpuSeconds / m.seconds, m.peakKilobytes / 1024.0);
}

void printMemory(const std::string& what, const Measurement& oneMinute, const Measurement& tenMinutes) {
  std::printf("%-32s peak RSS 1 min %.1f MiB  10 min %.1f MiB  ratio %.3f\n", what.c_str(),
              oneMinute.peakKilobytes / 1024.0, tenMinutes.peakKilobytes / 1024.0,
              double(tenMinutes.peakKilobytes) / double(oneMinute.peakKilobytes));
}

std::string outputName(const std::string& folder, const char* who, const BenchProfile& profile) {
  return folder + "/" + who + "_" + profile.name + "." + (profile.format == "3gp" ? "3gp" : "mp4");
}

// H.264 with the ipod preset and AAC at `size` ("WxH").
BenchProfile IpodH264(const std::string& name, const std::string& size) {
  const int width = std::stoi(size), height = std::stoi(size.substr(size.find('x') + 1));
  return {name, "libx264", width, height, "ipod", FindBuiltinPreset("libx264-ipod")->text,
          {{"f", "ipod"}, {"vcodec", "libx264"}, {"vpre", "libx264-ipod"}, {"s", size}, {"acodec", "aac"},
           {"ab", "128000"}}};
}

// Best wall time of kRounds conversions of each variant, alternating.
std::vector<Measurement> BestOf(const std::vector<BenchProfile>& variants, const std::string& source,
                                const std::string& folder) {
  std::vector<Measurement> best(variants.size());
  for (int round = 0; round < kRounds; ++round)
    for (size_t i = 0; i < variants.size(); ++i) {
      const auto m = MeasureInChild([&] { return runEngine(variants[i], source, outputName(folder, "engine", variants[i])); });
      if (m.seconds < best[i].seconds) best[i] = m;
    }
  return best;
}

BenchProfile WithOption(BenchProfile profile, const std::string& name, const std::string& option) {
  profile.name += "-" + name;
  profile.engineOptions.push_back({option, "1"});
  return profile;
}

void benchDeinterlacing(const BenchProfile& h264, const std::string& folder) {
  const std::vector<BenchProfile> variants{h264, WithOption(h264, "deinterlace", "deinterlace"),
                                           WithOption(h264, "autodeinterlace", "autodeinterlace")};
  const auto best = BestOf(variants, InterlacedPalBenchSource(folder), folder);
  for (size_t i = 1; i < variants.size(); ++i) {
    std::printf("%-40s cost %.3f  (wall against the same without deinterlacing)\n", variants[i].name.c_str(),
                best[i].seconds / best[0].seconds);
    printRow("with", best[i]);
  }
  printRow("without", best[0]);
}

void benchHdrToPhone(const std::string& folder) {
  constexpr double kSeconds = 10, kFrames = 250;
  const BenchProfile iphone = IpodH264("hdr-1080p-to-iphone-480x320", "480x320");
  const auto best = BestOf({iphone}, HdrBenchSource(folder), folder)[0];
  std::printf("%-40s %.1f pictures/s  %.2f x real time\n", iphone.name.c_str(), kFrames / best.seconds,
              kSeconds / best.seconds);
  printRow("engine", best);
}

}  // namespace

int main(int argc, char** argv) {
  if (!TMediaLoader::instance().loadSet(kEngineLibraries)) {
    std::fprintf(stderr, "%s\n", TMediaLoader::instance().lastError().c_str());
    return 1;
  }
  const std::string folder = argc > 1 ? argv[1] : "bench-data";
  std::filesystem::create_directories(folder);
  if (argc > 2 && std::string(argv[2]) == "picture") {  // only the picture chain's cases
    benchDeinterlacing(IpodH264("mp4-x264-ipod-640x480", "640x480"), folder);
    benchHdrToPhone(folder);
    return 0;
  }
  if (argc > 2 && std::string(argv[2]) == "formats") {
    BenchCurrentFormats(folder);
    return 0;
  }
  const std::string source = BenchSource(folder);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  const BenchProfile profiles[] = {
      {"3gp-h263-176x144", "h263", 176, 144, "3gp", "",
       {{"f", "3gp"}, {"vcodec", "h263"}, {"s", "176x144"}, {"acodec", "aac"}, {"ab", "128000"}}},
      IpodH264("mp4-x264-ipod-640x480", "640x480"),
  };
  Measurement oneMinute;
  for (const auto& profile : profiles) {
    const std::string engineOut = outputName(folder, "engine", profile), floorOut = outputName(folder, "floor", profile);
    Measurement engine, floor;
    for (int round = 0; round < kRounds; ++round) {
      const auto f = MeasureInChild([&] { return runFloor(profile, source, floorOut); });
      const auto e = MeasureInChild([&] { return runEngine(profile, source, engineOut); });
      if (f.seconds < floor.seconds) floor = f;
      if (e.seconds < engine.seconds) engine = e;
    }
    if (&profile == &profiles[0]) oneMinute = engine;
    std::printf("%-24s ratio %.3f  (limit on %u cores %.3f)\n", profile.name.c_str(), engine.seconds / floor.seconds,
                cores, floor.cpuSeconds / cores / floor.seconds);
    printRow("engine", engine);
    printRow("floor", floor);
  }
  // Memory must not grow with the length of the source: the first profile on
  // a 10-minute source against its figure on the 1-minute one. The 3GP muxer
  // keeps an index entry per packet until it writes the index at the end, so
  // the same conversion into the null muxer shows the engine's own memory.
  const std::string longSource = LongBenchSource(folder);
  const auto tenMinutes = MeasureInChild([&] { return runEngine(profiles[0], longSource, outputName(folder, "long", profiles[0])); });
  printMemory(profiles[0].name + " to 3gp", oneMinute, tenMinutes);
  BenchProfile indexFree = profiles[0];
  for (auto& [name, value] : indexFree.engineOptions)
    if (name == "f") value = "null";
  const std::string discarded = folder + "/discarded";
  const auto nullOne = MeasureInChild([&] { return runEngine(indexFree, source, discarded); });
  const auto nullTen = MeasureInChild([&] { return runEngine(indexFree, longSource, discarded); });
  printMemory(profiles[0].name + " to null", nullOne, nullTen);
  benchDeinterlacing(profiles[1], folder);
  benchHdrToPhone(folder);
  return 0;
}
