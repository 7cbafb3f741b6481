#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "engine/run/EncoderStage.h"
#include "engine/setup/EngineTask.h"
#include "picture/FilterGraph.h"

// Records of a run's output streams, owned by RunOutputs and freed at the
// run's end. The run executes on the task's thread; every field below belongs
// to it. The only other thread here is a sound stream's encoder
// (OutputStreamState::stage), which uses the one codec context it was given
// and talks to the run through its queues.

// Picture conversion for one video output: a filter graph (crop, scale, the
// user's graph) or a plain scaler.
struct VideoConverter {
  std::unique_ptr<PictureFilterGraph> graph;  // null while no graph is built
  SwsContext* scaler = nullptr;
  AVFrame* scaled = nullptr;
  int inWidth = 0, inHeight = 0, inFormat = -1;
  void Free();
};

// A video output's picture waiting for the next one: output frames are filled
// by time, each with the source picture on screen at its time, so a picture
// is shown only once the time of the next is known.
struct HeldPicture {
  FramePtr picture;       // empty while none is held
  double time = 0;        // in output frames, on the output's clock
  double interval = 0;    // from the picture before, in output frames (0: unknown)
};

struct AudioConverter {
  SwrContext* resampler = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVChannelLayout inLayout{};
  int inRate = 0, inFormat = -1;
  bool started = false;  // the first samples were placed at their time
  void Free();
};

struct OutputStreamState {
  int file = 0, index = 0;
  // Where a file times its sound by position (AVI, raw streams), the
  // encoder's priming is made up by dropping as many source samples at the
  // start and moving the packets' times on by it (encoder time base).
  std::int64_t primingShift = 0;
  AVStream* stream = nullptr;
  TCustomEngineTask::OutputStreamSetup* setup = nullptr;
  AVCodecContext* encoder = nullptr;  // nullptr for copy
  int source = -1, sync = -1;         // input stream indexes; -1 while a DVD subtitle stream has not appeared
  std::int64_t frameNumber = 0;
  std::int64_t syncOpts = 0;          // next output timestamp in the encoder's time base
  double clockShift = 0;              // output frames the source's clock jumped by
  VideoConverter video;
  HeldPicture held;
  AudioConverter audio;
  AVBSFContext* filters = nullptr;    // bitstream filter chain
  std::FILE* passLog = nullptr;
  bool flushed = false;
  bool seenKeyFrame = false;
  int packetsWritten = 0;
  float quality = -1;                 // last quantiser reported by the encoder
  std::array<std::int64_t, 3> error{};  // last PSNR errors (Y, U, V)
  int pictureType = 0;
  std::int64_t lastOutputTime = 0;    // microseconds reached by the packets written
  std::int64_t lastDts = AV_NOPTS_VALUE;  // copy streams: keeps timestamps increasing
  std::unique_ptr<EncoderStage> stage;    // encodes a sound stream on its own thread

  // Seconds of output written so far.
  double OutputSeconds() const {
    return encoder ? double(syncOpts) * av_q2d(encoder->time_base) : double(lastOutputTime) / AV_TIME_BASE;
  }

  // Whether the output has as many frames as the user's limit for its kind.
  bool FrameLimitReached(const TaskSettings& settings) const {
    const AVMediaType type = stream->codecpar->codec_type;
    const int limit = type == AVMEDIA_TYPE_VIDEO ? settings.maxFrames[0]
                      : type == AVMEDIA_TYPE_AUDIO ? settings.maxFrames[1]
                                                   : settings.maxFrames[2];
    return frameNumber >= limit;
  }
};
