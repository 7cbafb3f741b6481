#pragma once

#include <string>
#include <vector>

// Picture-to-sound timing of a converted flash-and-beep clip, measured on its
// decoded pictures and samples: each flash's time (the first bright picture
// after a dark one) minus the time of the beep nearest to it (the first loud
// sample after silence).
struct SyncOffsets {
  std::vector<double> flashes, beeps;  // seconds
  std::vector<double> offsetsMs;       // one per flash with a beep within 0.5 s
  double MeanMs() const;
  double PercentileMs(double fraction) const;  // of the offsets' sizes
  double MaxMs() const;
  std::string Describe() const;  // "n offsets, mean .. p50 .. p95 .. max .. ms"
};

SyncOffsets MeasureSync(const std::string& path);
