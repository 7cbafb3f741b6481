// Cost of the frame hook: the same conversion of a 60 s 720x480 source through
// the engine component with and without a pass-through hook (the bitmap is
// written back unchanged), best of three runs each, alternating.
#include <cstdio>
#include <string>

#include "BenchSource.h"
#include "engine/face/MediaEngine.h"

namespace {

constexpr int kRounds = 3;

bool convert(const std::string& source, const std::string& output, const TOutputOptions& options, bool hook) {
  TMediaEngine engine;
  if (hook) engine.OnCustomHook = [](TCustomMediaEngine*, THookInfo*) {};
  bool finished = false;
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    if (info.TaskIndex >= 0) finished = info.Finished;
  };
  TOutputOptions copy = options;
  copy.EnableHook = hook;
  const int task = engine.AddTask(source);
  if (task < 0 || !engine.SetOutputFile(task, output, &copy)) return false;
  engine.StartTask(0);
  return finished;
}

}  // namespace

int main(int argc, char** argv) {
  TMediaEngine loader;
  if (!loader.LoadLibraries("")) {
    std::fprintf(stderr, "%s\n", loader.LastErrorMessage().c_str());
    return 1;
  }
  const std::string folder = argc > 1 ? argv[1] : "bench-data";
  const std::string source = BenchSource(folder);
  struct Profile {
    const char* name;
    TOutputOptions options;
  };
  Profile profiles[2];
  profiles[0].name = "3gp-h263-176x144";
  profiles[0].options.VideoCodec = "h263";
  profiles[0].options.FrameSize = "176x144";
  profiles[0].options.AudioCodec = "aac";
  profiles[1].name = "mp4-mpeg4-640x480";
  profiles[1].options.VideoCodec = "mpeg4";
  profiles[1].options.FrameSize = "640x480";
  profiles[1].options.VideoBitrate = 1200000;
  profiles[1].options.AudioCodec = "aac";
  for (const auto& profile : profiles) {
    const std::string extension = std::string(profile.name).substr(0, 3);
    Measurement plain, hooked;
    for (int round = 0; round < kRounds; ++round) {
      const auto p = MeasureInChild([&] { return convert(source, folder + "/plain." + extension, profile.options, false); });
      const auto h = MeasureInChild([&] { return convert(source, folder + "/hooked." + extension, profile.options, true); });
      if (p.seconds < plain.seconds) plain = p;
      if (h.seconds < hooked.seconds) hooked = h;
    }
    std::printf("%-20s without hook %.2f s  with hook %.2f s  ratio %.3f\n", profile.name, plain.seconds,
                hooked.seconds, hooked.seconds / plain.seconds);
  }
  return 0;
}
