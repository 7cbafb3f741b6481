#pragma once

#include <functional>
#include <string>

// The generated 60 s 720x480 MPEG-2 + AC-3 source in folder (written once).
std::string BenchSource(const std::string& folder);
// The same recipe lasting 10 minutes, for the memory figure (written once).
std::string LongBenchSource(const std::string& folder);
// The generated 30 s 720x576 25 fps MPEG-2 + AC-3 source in folder (written once).
std::string PalBenchSource(const std::string& folder);

// A 60 s 720x576 25 fps MPEG-2 + AC-3 PAL title encoded interlaced (written once).
std::string InterlacedPalBenchSource(const std::string& folder);
// A 10 s 1920x1080 25 fps 10-bit HEVC clip with a PQ transfer and BT.2020
// colours, as phones record HDR (written once).
std::string HdrBenchSource(const std::string& folder);

struct Measurement {
  double seconds = 1e9;     // wall time
  double cpuSeconds = 0;    // user + system time of the child
  long peakKilobytes = 0;
};
// Runs work in a child process: its wall and CPU time and peak resident memory.
// Exits the benchmark when the work fails.
Measurement MeasureInChild(const std::function<bool()>& work);
