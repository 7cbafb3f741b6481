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

// Writes spec into folder under name, once: a finished file is reused.
std::string WriteOnce(const std::string& folder, const std::string& name, const test_media::MediaSpec& spec) {
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + name;
  if (std::filesystem::exists(path)) return path;
  test_media::WriteMedia(spec, path + ".part");
  std::filesystem::rename(path + ".part", path);
  return path;
}

// The DVD-style recipe lasting `seconds` at DVD bit rates.
test_media::MediaSpec DvdSpec(test_media::Kind kind, double seconds) {
  auto spec = test_media::Recipe(kind);
  spec.seconds = seconds;
  spec.video->bitRate = 4000000;
  spec.video->maxRate = 9000000;
  spec.video->bufferSize = 1835008;
  return spec;
}

std::string WriteOnce(const std::string& folder, const std::string& name, test_media::Kind kind, double seconds) {
  return WriteOnce(folder, name, DvdSpec(kind, seconds));
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

std::string InterlacedPalBenchSource(const std::string& folder) {
  auto spec = DvdSpec(test_media::Kind::DvdPalMpeg2Ac3, 60);
  spec.video->options.push_back({"flags", "+ildct+ilme"});
  return WriteOnce(folder, "source_60s_720x576_interlaced.mpg", spec);
}

std::string HdrBenchSource(const std::string& folder) {
  test_media::MediaSpec spec;
  spec.muxer = "mp4";
  spec.video = test_media::VideoSpec{.encoder = "libx265", .width = 1920, .height = 1080,
                                     .bitRate = 8000000,
                                     .options = {{"preset", "ultrafast"}, {"x265-params", "log-level=error"}},
                                     .pixelFormat = AV_PIX_FMT_YUV420P10LE,
                                     .primaries = AVCOL_PRI_BT2020, .transfer = AVCOL_TRC_SMPTE2084,
                                     .matrix = AVCOL_SPC_BT2020_NCL};
  spec.audio = test_media::AudioSpec{.encoder = "aac", .sampleRate = 48000};
  spec.seconds = 10;
  return WriteOnce(folder, "source_10s_1080p_hdr_hevc.mp4", spec);
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
