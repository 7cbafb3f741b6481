#include "PlayerSession.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const auto rank = std::size_t(std::ceil(fraction * double(values.size())));
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double StatusMiB(const char* field) {
  std::FILE* file = std::fopen("/proc/self/status", "r");
  if (!file) return NAN;
  char line[256];
  long kilobytes = -1;
  const std::size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, file))
    if (std::strncmp(line, field, length) == 0) kilobytes = std::atol(line + length);
  std::fclose(file);
  return kilobytes < 0 ? NAN : double(kilobytes) / 1024.0;
}

PlayerSession::PlayerSession() {
  player_.SetAudioDriver(TAudioDriver::adDummy);
  player_.OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int, int, int&, int&) { duration_ = duration; };
  player_.OnState = [this](TCustomPlayer*, TPlayState state) {
    if (state == psEnd) ended_ = true;
  };
}

PlayerSession::~PlayerSession() { player_.Stop(true); }

bool PlayerSession::Open(const std::string& source) {
  if (player_.Open(source, &sink_)) return true;
  std::fprintf(stderr, "cannot play %s: %s\n", source.c_str(), player_.LastErrorMessage().c_str());
  return false;
}

PlayFigures PlayerSession::Play(double seconds, const std::function<bool(double)>& step) {
  const int shown = player_.ShownPictures(), dropped = player_.DroppedPictures(), presented = sink_.Presented();
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  std::vector<double> offsets;
  double nextSample = 0.1;
  for (;;) {
    dispatcher_.pump();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (elapsed >= seconds || !step(elapsed)) break;
    if (elapsed >= nextSample) {
      nextSample += 0.1;
      const double offset = player_.AudioVideoOffset();
      if (!std::isnan(offset)) offsets.push_back(std::fabs(offset) * 1000);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  PlayFigures figures;
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  figures.cpuPerSecond = (CpuSeconds() - cpu) / figures.seconds;
  figures.shown = player_.ShownPictures() - shown;
  figures.dropped = player_.DroppedPictures() - dropped;
  figures.presented = sink_.Presented() - presented;
  figures.avP50Ms = Percentile(offsets, 0.5);
  figures.avP95Ms = Percentile(offsets, 0.95);
  figures.avSamples = int(offsets.size());
  return figures;
}
