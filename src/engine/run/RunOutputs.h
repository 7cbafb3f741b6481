#pragma once

#include <vector>

#include "engine/run/OutputState.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunInputs.h"

class VideoPath;

// The run's output streams: the input stream each takes, their parameters,
// two-pass logs and encoders, and the mapping log. The task's thread only.
class RunOutputs {
 public:
  RunOutputs(RunContext& run, RunInputs& inputs);
  ~RunOutputs();
  RunOutputs(const RunOutputs&) = delete;
  RunOutputs& operator=(const RunOutputs&) = delete;

  // A record for every output stream and the input stream it takes.
  void Map();
  // Each stream's parameters; video sizes the picture an encoded video stream gets.
  void Prepare(VideoPath& video);
  void OpenEncoders();
  void LogMapping() const;
  // Joining: the outputs go on with the streams of the next input file.
  void FollowFile(int file);

  std::vector<OutputStreamState>& All() { return streams_; }
  // The output stream waiting for the DVD stream with this demuxer id to
  // appear (source -1); nullptr for none.
  OutputStreamState* WaitingFor(int id);

 private:
  void PrepareStream(OutputStreamState& output, VideoPath& video);
  void PreparePassLog(OutputStreamState& output);
  void PrepareWaitingSubtitle(OutputStreamState& output);

  RunContext& run_;
  RunInputs& inputs_;
  std::vector<OutputStreamState> streams_;
};
