#pragma once

#include "engine/run/PipelineStage.h"
#include "media/MediaHandles.h"

struct DecodedPicture {
  enum class Kind { End, Picture, Error };
  Kind kind = Kind::End;
  FramePtr picture;
  int indexInPacket = 0;   // 1 for a packet's first picture
  bool fromPacket = true;  // false for what the decoder held at the end
};

// Decodes one video stream on a thread of its own, so that decoding the next
// pictures overlaps converting, hooking and encoding the last ones on the
// task's thread. Packets the library refused come out as Error in their place.
// After a stop request the packets read before it are still decoded: the task's
// thread takes their pictures until its grace time is over, then destroys the
// stage. The decoder context is the stage's until it is destroyed.
class DecoderStage : public PipelineStage<PacketPtr, DecodedPicture> {
 public:
  DecoderStage(AVCodecContext* decoder, TCustomEngineTask& task);
  ~DecoderStage() override;

 private:
  void Process(PacketPtr& packet) override;
  void Flush() override;
  void ReceivePictures(bool fromPacket);

  AVCodecContext* const decoder_;
  FramePtr spare_;  // receives the next picture; kept when the decoder had none
};
