#pragma once

#include "engine/run/AudioPath.h"
#include "engine/run/DecodedSink.h"
#include "engine/run/EncoderFeed.h"
#include "engine/run/Muxer.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunInputs.h"
#include "engine/run/RunOutputs.h"
#include "engine/run/VideoPath.h"

// Hands what an input stream gives to the outputs that take it: pictures to
// the video path, sound to the audio path, subtitles to their encoders and
// packets to the outputs that copy the stream. The task's thread only.
class OutputRouter final : public DecodedSink {
 public:
  OutputRouter(RunContext& run, RunInputs& inputs, RunOutputs& outputs, VideoPath& video, AudioPath& audio,
               EncoderFeed& encoders, Muxer& muxer);

  void Picture(InputStreamState& input, AVFrame* picture) override;
  void Samples(InputStreamState& input, AVFrame* samples) override;
  void Subtitle(InputStreamState& input, AVSubtitle& subtitle, const AVPacket* packet) override;
  void Copy(InputStreamState& input, const AVPacket* packet) override;

 private:
  // Whether the output reads the input's stream (it may encode it or copy it).
  bool Reads(const OutputStreamState& output, const InputStreamState& input);
  // Runs give(output) for each output encoding the input's stream from the
  // output file's start time on.
  template <typename Give>
  void ToStartedEncoders(const InputStreamState& input, Give give);

  RunContext& run_;
  RunInputs& inputs_;
  RunOutputs& outputs_;
  VideoPath& video_;
  AudioPath& audio_;
  EncoderFeed& encoders_;
  Muxer& muxer_;
};
