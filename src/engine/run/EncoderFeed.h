#pragma once

#include <chrono>

#include "engine/run/InputState.h"
#include "engine/run/OutputState.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunStop.h"
#include "media/MediaHandles.h"

class Muxer;
class ProgressReport;

// Hands frames to an output's encoder, directly or through the stream's
// encoder stage, and writes the packets that come out; encodes subtitles.
// The task's thread only.
class EncoderFeed {
 public:
  EncoderFeed(RunContext& run, RunStop& stop, Muxer& muxer, ProgressReport& progress);

  // A frame for the output's encoder; nullptr ends the stream.
  void Send(OutputStreamState& output, AVFrame* frame);
  void EncodeSubtitle(OutputStreamState& output, InputStreamState& input, AVSubtitle& subtitle, const AVPacket* packet);

 private:
  void SendToStage(OutputStreamState& output, AVFrame* frame);
  // Writes the stage's next packet if one comes within timeout; false when none did.
  bool TakeEncoded(OutputStreamState& output, std::chrono::milliseconds timeout);
  void WriteEncoded(OutputStreamState& output, AVPacket* packet, const char* stats);

  RunContext& run_;
  RunStop& stop_;
  Muxer& muxer_;
  ProgressReport& progress_;
  PacketPtr encoded_{media::av_packet_alloc()};  // receives what an encoder of this thread gives
};
