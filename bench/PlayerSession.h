#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/Dispatcher.h"
#include "OffscreenSink.h"
#include "player/MediaPlayer.h"

// Figures of one measured stretch of playback.
struct PlayFigures {
  int shown = 0, dropped = 0;  // the player's counts
  int presented = 0;           // pictures the sink received
  double avP50Ms = 0, avP95Ms = 0;  // |audio clock - video clock|, sampled every 100 ms
  int avSamples = 0;
  double seconds = 0, cpuPerSecond = 0;  // wall time; process CPU time per wall second
};

// A player with the dummy audio driver drawing into a 720x576 offscreen sink,
// its events run on this thread whenever it pumps.
class PlayerSession {
 public:
  PlayerSession();
  ~PlayerSession();
  // False, with the player's reason on stderr, when the source does not open.
  bool Open(const std::string& source);
  // Plays for up to `seconds`, pumping every 10 ms; step(elapsed seconds), run
  // on each pump, ends the stretch early by returning false.
  PlayFigures Play(double seconds, const std::function<bool(double)>& step);
  TMediaPlayer& Player() { return player_; }
  std::int64_t Duration() const { return duration_; }  // microseconds, from the file-open event
  bool Ended() const { return ended_; }                // psEnd was delivered

 private:
  QueueDispatcher dispatcher_;
  OffscreenSink sink_{720, 576};
  TMediaPlayer player_{&dispatcher_};
  std::int64_t duration_ = 0;
  bool ended_ = false;
};

// The nearest-rank percentile (fraction 0..1) of values; NaN when there are none.
double Percentile(std::vector<double> values, double fraction);
// Process CPU time in seconds.
double CpuSeconds();
// A "VmRSS:"-style field of /proc/self/status in MiB.
double StatusMiB(const char* field);
