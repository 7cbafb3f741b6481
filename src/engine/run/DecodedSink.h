#pragma once

#include "engine/run/InputState.h"

// Where the input side hands on what it read and decoded: the outputs that
// take the stream. The input side knows no more of the outputs than this.
class DecodedSink {
 public:
  // A picture past the upright steps, the burn-in and the frame hooks.
  virtual void Picture(InputStreamState& input, AVFrame* picture) = 0;
  virtual void Samples(InputStreamState& input, AVFrame* samples) = 0;
  // Encodes a decoded subtitle for the outputs that take the stream, then frees it.
  virtual void Subtitle(InputStreamState& input, AVSubtitle& subtitle, const AVPacket* packet) = 0;
  // A packet for the outputs that copy the stream.
  virtual void Copy(InputStreamState& input, const AVPacket* packet) = 0;

 protected:
  ~DecodedSink() = default;
};
