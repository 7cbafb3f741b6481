#include "BenchSource.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "MediaWriter.h"
#include "Recipes.h"

namespace {

// Writes the DVD-style recipe as a file of `seconds` at DVD bit rates into
// folder under name, once: a finished file is reused.
std::string WriteOnce(const std::string& folder, const std::string& name, test_media::Kind kind, double seconds) {
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + name;
  if (std::filesystem::exists(path)) return path;
  auto spec = test_media::Recipe(kind);
  spec.seconds = seconds;
  spec.video->bitRate = 4000000;
  spec.video->maxRate = 9000000;
  spec.video->bufferSize = 1835008;
  test_media::WriteMedia(spec, path + ".part");
  std::filesystem::rename(path + ".part", path);
  return path;
}

}  // namespace

std::string BenchSource(const std::string& folder) {
  return WriteOnce(folder, "source_60s_720x480.mpg", test_media::Kind::DvdNtscMpeg2Ac3, 60);
}

std::string LongBenchSource(const std::string& folder) {
  return WriteOnce(folder, "source_600s_720x480.mpg", test_media::Kind::DvdNtscMpeg2Ac3, 600);
}

std::string PalBenchSource(const std::string& folder) {
  return WriteOnce(folder, "source_30s_720x576.mpg", test_media::Kind::DvdPalMpeg2Ac3, 30);
}

Measurement MeasureInChild(const std::function<bool()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) _exit(work() ? 0 : 1);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "a run failed\n");
    std::exit(1);
  }
  const auto toSeconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return {seconds, toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime), usage.ru_maxrss};
}
