#pragma once

#include "engine/run/InputState.h"
#include "engine/run/OutputState.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunStop.h"
#include "media/MediaHandles.h"
#include "picture/FittingSteps.h"

class EncoderFeed;
struct SyncCounts;

// A picture further than this from the output clock means the source's clock
// jumped; the output goes on from where it stands instead of filling the gap.
inline constexpr double kClockJumpSeconds = 5;

// Video output: frame-rate conversion by the sync method, picture conversion
// (filter graph or scaler), encoding. The task's thread only.
class VideoPath {
 public:
  VideoPath(RunContext& run, RunStop& stop, EncoderFeed& encoders, SyncCounts& counts);

  // The encoder's picture size and aspect for the stream's upright pictures,
  // and the output's filter graph where it needs one.
  void Prepare(OutputStreamState& output, const InputStreamState& input);
  void Out(OutputStreamState& output, InputStreamState& input, AVFrame* picture);
  // The end of the pictures: the held one, then what the filter graph holds.
  void Flush(OutputStreamState& output, InputStreamState& input);

 private:
  // Shows the held picture in the output frames nearer its time than `until`
  // (the next picture's time, in output frames).
  void ShowHeldPicture(OutputStreamState& output, InputStreamState& input, double until);
  // The end of the pictures: the last held one fills its own duration.
  void ShowLastPicture(OutputStreamState& output, InputStreamState& input);
  void EmitPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture, int frames);
  double SyncDistance(OutputStreamState& output, InputStreamState& input, double frameTime);
  AVFrame* ConvertPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture);
  // The output's last picture steps (crop, fitting, late colour, pixel format).
  FittingSteps FittingOf(const OutputStreamState& output, const InputStreamState& input) const;
  bool NeedsFilterGraph(const OutputStreamState& output, const InputStreamState& input) const;
  // Builds the output's fitting steps into a graph for upright pictures of this shape.
  void BuildFilterGraph(OutputStreamState& output, const InputStreamState& input, int width, int height, int format,
                        AVRational sar, bool rebuilt);
  void EncodeVideo(OutputStreamState& output, AVFrame* picture, InputStreamState& input);

  RunContext& run_;
  RunStop& stop_;
  EncoderFeed& encoders_;
  SyncCounts& counts_;
  FramePtr work_{media::av_frame_alloc()};  // what a filter graph hands out
};
