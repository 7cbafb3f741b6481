#pragma once

#include "engine/run/DecodedSink.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunInputs.h"
#include "engine/run/RunStop.h"

// A decoded picture's way to the outputs: the stream's upright steps (after
// the telecine check where one is needed), the wait for the burn-in and its
// drawing, then the frame hooks. The task's thread only.
class InputPictures {
 public:
  InputPictures(RunContext& run, RunStop& stop, RunInputs& inputs, DecodedSink& sink);

  // A decoded picture goes through the stream's upright steps first; the frame
  // hook and the burn-in draw on what they give.
  void Add(InputStreamState& input, AVFrame* picture);
  // The end of a stream lets the upright steps give the pictures they hold back.
  void Flush(InputStreamState& input);
  // The end of the run: the pictures still waiting for the burn-in go on.
  void ReleaseAllDelayed();

 private:
  // The check's answer picks the upright steps; the pictures it held go on.
  void EndTelecineCheck(InputStreamState& input);
  void PushUpright(InputStreamState& input, AVFrame* picture);
  void DrainUpright(InputStreamState& input);
  void HandleUprightFrame(InputStreamState& input, AVFrame* picture);
  void ReleaseDelayedPictures(InputFileState& file, bool all);
  void ProcessVideoFrame(InputStreamState& input, AVFrame* picture);

  RunContext& run_;
  RunStop& stop_;
  RunInputs& inputs_;
  DecodedSink& sink_;
};
