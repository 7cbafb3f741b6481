#pragma once

#include <cstdint>

#include "engine/run/AudioPath.h"
#include "engine/run/EncoderFeed.h"
#include "engine/run/InputClock.h"
#include "engine/run/InputDecoding.h"
#include "engine/run/InputPictures.h"
#include "engine/run/Muxer.h"
#include "engine/run/OutputRouter.h"
#include "engine/run/ProgressReport.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunInputs.h"
#include "engine/run/RunOutputs.h"
#include "engine/run/RunStop.h"
#include "engine/run/VideoPath.h"
#include "media/MediaHandles.h"

// One transcoding run: sets up the parts that read, decode, convert, encode
// and write, feeds them the input packets, and finishes the files. Owned by
// the task's thread for the length of the run and freed at its end; every
// part belongs to that thread. The only other threads are the stages, each
// using the one codec context it was given and talking to the run through its
// queues: a video stream's decoder and a sound stream's encoder.
class TranscodeRun {
 public:
  explicit TranscodeRun(TCustomEngineTask& task);

  void Setup();
  void Loop();
  void Finish();

 private:
  // The input file to read next: -1 when none can be read now, -2 when a
  // frame limit ends the run.
  int ChooseInputFile();
  // Reads the file's next packet and hands it on; false when the loop ends.
  bool ReadPacket(int file, std::int64_t recordingEnd);
  void HandlePacket(InputStreamState& input, std::int64_t recordingEnd);
  InputStreamState* TakeLateSource(int file, int index);
  // Returns true when the loop ends.
  bool EndOfFile(int file);
  // Joining: the next input continues where the outputs stand, through the same encoders.
  void SwitchToNextFile(int next);
  void FlushEncoders();

  // The parts, in the order they are built: each is handed only parts built
  // before it, and they are freed in the reverse order.
  RunContext run_;
  RunStop stop_;
  RunInputs inputs_;
  RunOutputs outputs_;
  Muxer muxer_;
  ProgressReport progress_;
  EncoderFeed encoders_;
  VideoPath video_;
  AudioPath audio_;
  OutputRouter router_;
  InputClock clock_;
  InputPictures pictures_;
  InputDecoding decoding_;
  PacketPtr packet_{media::av_packet_alloc()};  // the packet being read
  int currentFile_ = 0;  // the input being read when joining
};
