// Playback figures of the player component at 1x with the dummy audio driver
// into an offscreen 720x576 sink, each case in a child process of its own:
// - file: 30 s of a generated 720x576 25 fps MPEG-2 + AC-3 program stream;
// - dvd: title 1 of the test DVD ("opendvd:"), to its end;
// - interlaced: the interlaced test DVD's title (fields at two moments) with
//   the player deinterlacing as the preference's default (Auto), to its end;
// - seeks: 50 seeks to random places of the file, one every 200 ms without
//   waiting; a seek lands when the position comes within 1 s of its target
//   within 1 s of the request (targets are 3 s or more apart from the four
//   before, so no neighbouring seek or the playback drift can pass for it).
// Each case ends with a line "player CASE: shown .. dropped .. av_p50_ms ..
// av_p95_ms .. cpu_per_s .. rss_mib ..", then a summary of ratios to the file case.
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "BenchSource.h"
#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "media/MediaLoader.h"
#include "PlayerSession.h"
#include "TestDvd.h"

namespace {

constexpr unsigned kWatchdogSeconds = 60;
constexpr int kSeeks = 50;
constexpr double kSeekEvery = 0.2, kLandWithin = 1.0, kLandNear = 1.0;  // seconds

struct CaseResult {
  PlayFigures figures;
  int landed = 0;
  double landingP50Ms = NAN, landingP95Ms = NAN;
  double rssBeforeMiB = NAN, rssAfterMiB = NAN;
};

char watchdogMessage[128];

void OnWatchdog(int) {
  const ssize_t written = write(STDERR_FILENO, watchdogMessage, std::strlen(watchdogMessage));
  (void)written;
  _exit(3);
}

// Ends the process with a message when the case is not done in time (a hang).
void StartWatchdog(const char* name) {
  std::snprintf(watchdogMessage, sizeof watchdogMessage, "player %s: watchdog: not done after %u s, hung\n", name,
                kWatchdogSeconds);
  signal(SIGALRM, OnWatchdog);
  alarm(kWatchdogSeconds);
}

// Runs work in a child under the watchdog; its result comes back through a pipe.
CaseResult RunCase(const char* name, const std::function<bool(CaseResult&)>& work, double& peakMiB) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) std::exit(1);
  std::fflush(stdout);
  const Measurement measurement = MeasureInChild([&] {
    close(pipeEnds[0]);
    StartWatchdog(name);
    CaseResult result;
    if (!work(result)) return false;
    return write(pipeEnds[1], &result, sizeof result) == ssize_t(sizeof result);
  });
  close(pipeEnds[1]);
  CaseResult result;
  const bool read = ::read(pipeEnds[0], &result, sizeof result) == ssize_t(sizeof result);
  close(pipeEnds[0]);
  if (!read) std::exit(1);
  peakMiB = double(measurement.peakKilobytes) / 1024.0;
  return result;
}

void PrintCase(const char* name, const PlayFigures& f, double peakMiB) {
  std::printf("player %s: played %.1f s, %d pictures presented to the sink, %d A/V samples\n", name, f.seconds,
              f.presented, f.avSamples);
  std::printf("player %s: shown %d dropped %d av_p50_ms %.1f av_p95_ms %.1f cpu_per_s %.3f rss_mib %.1f\n", name,
              f.shown, f.dropped, f.avP50Ms, f.avP95Ms, f.cpuPerSecond, peakMiB);
}

bool PlayFile(const std::string& source, CaseResult& result) {
  PlayerSession session;
  if (!session.Open(source)) return false;
  result.figures = session.Play(30, [](double) { return true; });
  return true;
}

bool PlayTitle(const std::string& source, CaseResult& result, Deinterlacing deinterlace = Deinterlacing::Never) {
  PlayerSession session;
  session.Player().Deinterlace = deinterlace;
  if (!session.Open(source)) return false;
  const std::int64_t duration = session.Duration();
  result.figures = session.Play(double(duration) / 1e6 + 2, [&](double) {
    return !session.Ended() && session.Player().Position() < duration;
  });
  return true;
}

// Targets in seconds, each at least 3 s from the four before it.
std::vector<double> SeekTargets() {
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> place(0.5, 28.5);
  std::vector<double> targets;
  while (int(targets.size()) < kSeeks) {
    const double target = place(random);
    bool apart = true;
    for (std::size_t back = 1; back <= 4 && back <= targets.size(); ++back)
      apart = apart && std::fabs(targets[targets.size() - back] - target) >= 3;
    if (apart) targets.push_back(target);
  }
  return targets;
}

bool SeekStorm(const std::string& source, CaseResult& result) {
  PlayerSession session;
  if (!session.Open(source)) return false;
  TMediaPlayer& player = session.Player();
  session.Play(1, [](double) { return true; });
  result.rssBeforeMiB = StatusMiB("VmRSS:");

  const std::vector<double> targets = SeekTargets();
  std::vector<double> issued, latencies;
  std::vector<bool> landed(kSeeks, false);
  result.figures = session.Play((kSeeks - 1) * kSeekEvery + kLandWithin, [&](double elapsed) {
    if (int(issued.size()) < kSeeks && elapsed >= double(issued.size()) * kSeekEvery) {
      player.Seek(0, false, std::llround(targets[issued.size()] * 1e6));
      issued.push_back(elapsed);
    }
    const double position = double(player.Position()) / 1e6;
    for (std::size_t i = 0; i < issued.size(); ++i) {
      if (landed[i] || elapsed - issued[i] >= kLandWithin || std::fabs(position - targets[i]) > kLandNear) continue;
      landed[i] = true;
      latencies.push_back((elapsed - issued[i]) * 1000);
    }
    return true;
  });
  result.landed = int(latencies.size());
  result.landingP50Ms = Percentile(latencies, 0.5);
  result.landingP95Ms = Percentile(latencies, 0.95);
  session.Play(1, [](double) { return true; });
  result.rssAfterMiB = StatusMiB("VmRSS:");
  return true;
}

std::string ProgramFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string(); }

// Title 1 of a test DVD, all chapters, the English track.
std::string DvdTitleSource(test_dvd::Disc disc) {
  DvdParam param{};
  param.Title = 0;
  param.FromChapter = 1;
  param.ToChapter = 99;
  param.AudioID = 0x80;
  param.AudioChannels = 2;
  return BuildOpenDvdString(test_dvd::Path(disc), param);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ProgramFolder() + "/bench-data";
  if (!TMediaLoader::instance().loadSet(kPlayerLibraries)) {
    std::fprintf(stderr, "%s\n", TMediaLoader::instance().lastError().c_str());
    return 1;
  }
  if (!LoadDvdPlugin(ProgramFolder() + "/LibAV", kDvdInitialisation)) {
    std::fprintf(stderr, "%s\n", DvdLastError().c_str());
    return 1;
  }
  // Written in a child, so that no encoder memory stays in the cases' processes.
  MeasureInChild([&] {
    try {
      PalBenchSource(folder);
      test_dvd::Path(test_dvd::Disc::Folder);
      return true;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return false;
    }
  });
  const std::string file = PalBenchSource(folder), title = DvdTitleSource(test_dvd::Disc::Folder);
  const std::string interlacedTitle = DvdTitleSource(test_dvd::Disc::Interlaced);

  double fileMiB = 0, dvdMiB = 0, seeksMiB = 0;
  const CaseResult played = RunCase("file", [&](CaseResult& r) { return PlayFile(file, r); }, fileMiB);
  PrintCase("file", played.figures, fileMiB);
  const CaseResult dvd = RunCase("dvd", [&](CaseResult& r) { return PlayTitle(title, r); }, dvdMiB);
  PrintCase("dvd", dvd.figures, dvdMiB);
  double interlacedMiB = 0;
  const CaseResult interlaced = RunCase(
      "interlaced", [&](CaseResult& r) { return PlayTitle(interlacedTitle, r, Deinterlacing::Auto); }, interlacedMiB);
  PrintCase("interlaced", interlaced.figures, interlacedMiB);
  const CaseResult seeks = RunCase("seeks", [&](CaseResult& r) { return SeekStorm(file, r); }, seeksMiB);
  std::printf("player seeks: rss before the storm %.1f MiB, 1 s after it %.1f MiB (%+.1f)\n", seeks.rssBeforeMiB,
              seeks.rssAfterMiB, seeks.rssAfterMiB - seeks.rssBeforeMiB);
  std::printf("player seeks: landing latency p50 %.0f ms p95 %.0f ms\n", seeks.landingP50Ms, seeks.landingP95Ms);
  std::printf("player seeks: landed %d of %d within 1 s\n", seeks.landed, kSeeks);
  PrintCase("seeks", seeks.figures, seeksMiB);

  std::printf("player ratios to file: dvd cpu %.3f rss %.3f  interlaced cpu %.3f rss %.3f  seeks cpu %.3f rss %.3f\n",
              dvd.figures.cpuPerSecond / played.figures.cpuPerSecond, dvdMiB / fileMiB,
              interlaced.figures.cpuPerSecond / played.figures.cpuPerSecond, interlacedMiB / fileMiB,
              seeks.figures.cpuPerSecond / played.figures.cpuPerSecond, seeksMiB / fileMiB);
  return 0;
}
