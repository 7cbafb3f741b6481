#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/run/Muxer.h"
#include "engine/run/OutputState.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunOutputs.h"

// Pictures the video sync repeated or left out, over the whole run.
struct SyncCounts {
  int duplicated = 0, dropped = 0;
};

// Progress reports (the text line and the values handed to the progress
// callback), the final summary and the per-frame video statistics file.
// The task's thread only.
class ProgressReport {
 public:
  using Clock = std::chrono::steady_clock;

  ProgressReport(RunContext& run, RunOutputs& outputs, const Muxer& muxer);
  ~ProgressReport();
  ProgressReport(const ProgressReport&) = delete;
  ProgressReport& operator=(const ProgressReport&) = delete;

  // The run starts now.
  void Start();
  Clock::time_point Started() const { return started_; }
  // Whether the next report is due.
  bool Due() const;
  // The input of the last packet, for the report.
  void NoteReading(int file) { readingFile_ = file; }
  void Report(bool final);
  // The quantiser, PSNR errors and picture type the encoder gave a video
  // packet, for the report and the statistics file.
  void NoteVideoPacket(OutputStreamState& output, const AVPacket* packet);
  SyncCounts& Counts() { return counts_; }

 private:
  std::string ReportText(bool final, int framesPerSecond, double seconds, std::int64_t size);
  void WriteVideoStats(const OutputStreamState& output, const AVPacket* packet);

  RunContext& run_;
  RunOutputs& outputs_;
  const Muxer& muxer_;
  Clock::time_point started_, lastReport_;
  int readingFile_ = 0;  // the input of the last packet
  SyncCounts counts_;
  int lastDuplicated_ = 0, lastDropped_ = 0;  // the counts at the last report
  std::array<int, 52> qpHistogram_{};
  std::FILE* vstats_ = nullptr;
};
