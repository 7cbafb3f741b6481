#pragma once

#include <string>

#include "engine/run/PipelineStage.h"
#include "media/MediaHandles.h"

struct EncodedPacket {
  enum class Kind { End, Packet, Error };
  Kind kind = Kind::End;
  PacketPtr packet;
  std::string stats;  // the encoder's two-pass statistics for this packet
};

// Encodes one stream on a thread of its own (the sound of a conversion, whose
// encoder can take as long as the whole picture side). Frames go in with their
// output timestamps set; packets come out in the encoder's time base, to be
// written by the task's thread. A frame or packet the library refused comes
// out as Error. The encoder context is the stage's until it is destroyed.
class EncoderStage : public PipelineStage<FramePtr, EncodedPacket> {
 public:
  EncoderStage(AVCodecContext* encoder, TCustomEngineTask& task);
  ~EncoderStage() override;

 private:
  void Process(FramePtr& frame) override;
  void Flush() override;
  void Encode(const AVFrame* frame);

  AVCodecContext* const encoder_;
  PacketPtr spare_;  // receives the next packet; kept when the encoder had none
};
