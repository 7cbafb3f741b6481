#pragma once

#include "engine/run/InputState.h"
#include "engine/run/OutputState.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunStop.h"
#include "media/MediaHandles.h"

class EncoderFeed;

// Audio output: volume, drift correction, resampling into a FIFO, encoding in
// the encoder's frame size. The task's thread only.
class AudioPath {
 public:
  AudioPath(RunContext& run, RunStop& stop, EncoderFeed& encoders);

  // Converts the samples for the output and encodes the whole frames it has;
  // without samples the resampler hands out what it still holds.
  void Out(OutputStreamState& output, InputStreamState& input, AVFrame* samples);
  // The end of the sound: what the resampler and the FIFO hold is encoded.
  void Flush(OutputStreamState& output, InputStreamState& input);

 private:
  void SetupResampler(OutputStreamState& output, AVFrame* samples);
  void LeadInForDroppingDecoders(OutputStreamState& output);
  // Keeps the produced samples in step with the input's timestamps.
  void CorrectAudioDrift(OutputStreamState& output, InputStreamState& input);
  void AlignAudioStart(OutputStreamState& output, InputStreamState& input);
  // Samples the input's time stamp asks for beyond those produced so far.
  double AudioDrift(const OutputStreamState& output, const InputStreamState& input) const;
  void DropOrPadAudio(OutputStreamState& output, double drift);
  void EncodeAudioFromFifo(OutputStreamState& output, bool final);

  RunContext& run_;
  RunStop& stop_;
  EncoderFeed& encoders_;
  FramePtr work_{media::av_frame_alloc()};  // converted samples, then each frame for the encoder
};
