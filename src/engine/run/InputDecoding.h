#pragma once

#include <chrono>

#include "engine/run/DecodedSink.h"
#include "engine/run/InputClock.h"
#include "engine/run/InputPictures.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunInputs.h"
#include "engine/run/RunStop.h"
#include "media/MediaHandles.h"

// A packet the decoder refused; fatal only with "xerror".
struct DecodeError {};

// Decodes the packets of the streams that need it (video on the stream's
// stage, the rest here) and hands on what comes out: pictures to the picture
// steps, sound and subtitles to the outputs, and every packet to the outputs
// that copy its stream. The task's thread only.
class InputDecoding {
 public:
  InputDecoding(RunContext& run, RunStop& stop, RunInputs& inputs, InputClock& clock, InputPictures& pictures,
                DecodedSink& sink);

  // A packet of the stream; nullptr ends the stream's decoding.
  void ProcessPacket(InputStreamState& input, AVPacket* packet);
  // Joining: the end of one input file ends its streams' decoding.
  void FlushFile(int file);
  // The end of the run: every decoder hands out what it holds.
  void FlushAll();

 private:
  // The decoder, then the upright steps, hand out what they hold.
  void FlushStream(InputStreamState& input);
  void Decode(InputStreamState& input, const AVPacket* packet);
  void DecodeOnStage(InputStreamState& input, const AVPacket* packet);
  // Handles the stage's next output if one comes within timeout; false when none did.
  bool TakeDecoded(InputStreamState& input, std::chrono::milliseconds timeout);
  void HandleDecoded(InputStreamState& input, AVFrame* decoded, int indexInPacket, bool fromPacket);
  void LogMultipleFrames(InputStreamState& input);
  void HandleSubtitle(InputStreamState& input, const AVPacket* packet);

  RunContext& run_;
  RunStop& stop_;
  RunInputs& inputs_;
  InputClock& clock_;
  InputPictures& pictures_;
  DecodedSink& sink_;
  FramePtr frame_{media::av_frame_alloc()};  // receives what a decoder of this thread gives
};
