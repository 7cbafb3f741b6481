#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "engine/run/DecoderStage.h"
#include "picture/FilterGraph.h"
#include "picture/SubtitleBurnIn.h"
#include "picture/TelecineCheck.h"
#include "picture/UprightSteps.h"

// Records of a run's input streams and files, owned by RunInputs and freed at
// the run's end. The run executes on the task's thread; every field below
// belongs to it. The only other thread here is a video stream's decoder
// (InputStreamState::stage), which uses the one codec context it was given and
// talks to the run through its queues.
struct InputStreamState {
  int file = 0, index = 0;
  AVStream* stream = nullptr;
  AVCodecContext* decoder = nullptr;
  bool decodingNeeded = false;
  bool used = false;               // some output reads it
  bool burnIn = false;             // subpictures drawn into the file's video
  std::int64_t nextPts = AV_NOPTS_VALUE;  // microseconds
  std::int64_t pts = 0;            // microseconds
  bool isStart = true;
  bool finished = false;           // past the recording time
  bool decoderFlushed = false;
  int framesInPacket = 0;
  bool multipleFramesLogged = false;
  int decodedVideoFrames = 0;
  std::unique_ptr<DecoderStage> stage;  // decodes a video stream on its own thread
  // A staged stream's pictures come back later than its packets are read, so
  // its clock checks go by the end of the last packet read (microseconds).
  std::int64_t readEnd = AV_NOPTS_VALUE;
  // A video stream's first picture steps (deinterlace, turn upright) and the
  // graph that runs them; the graph is built for the first picture.
  UprightSteps upright;
  std::unique_ptr<PictureFilterGraph> uprightGraph;
  FramePtr uprightPicture;  // reused for every picture the graph gives
  // Holds an NTSC stream's first pictures until they show whether it is
  // telecined film; gone once decided.
  std::unique_ptr<TelecineCheck> telecineCheck;
};

struct InputFileState {
  int firstStream = 0, streamCount = 0;
  bool eof = false;
  bool noPacketNow = false;
  std::unique_ptr<SubtitleBurnIn> burnIn;  // for a DVD title with a chosen subtitle
  // With burn-in, pictures wait until the file has been read a while past them,
  // because subpicture packets are stored later than the pictures they cover.
  std::deque<std::pair<InputStreamState*, AVFrame*>> delayed;
  std::int64_t lastReadUs = INT64_MIN;  // latest packet time read from the file
  std::vector<int> lateStreams;  // the run's records of streams the demuxer added while reading
};
