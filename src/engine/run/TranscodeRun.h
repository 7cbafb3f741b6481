#pragma once

#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/run/DecoderStage.h"
#include "engine/run/EncoderStage.h"
#include "engine/setup/EngineTask.h"
#include "picture/FilterGraph.h"
#include "picture/FittingSteps.h"
#include "picture/SubtitleBurnIn.h"
#include "picture/TelecineCheck.h"
#include "picture/UprightSteps.h"

// State of one transcoding run, owned by the run and freed at its end. The run
// executes on the task's thread; every field below belongs to it. The only
// other threads are the stages, each using the one codec context it was given
// and talking to the run through its queues: a video stream's decoder
// (InputStreamState::stage) and a sound stream's encoder
// (OutputStreamState::stage).
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
  int lateBurnIn = -1;  // the run's record of a burn-in stream the demuxer added while reading
};

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
  int source = -1, sync = -1;         // input stream indexes
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
};

// A picture further than this from the output clock means the source's clock
// jumped; the output goes on from where it stands instead of filling the gap.
inline constexpr double kClockJumpSeconds = 5;

// After a stop request the file is finished off for at most this long; what
// the decoders and encoders still hold after that is left out.
inline constexpr std::chrono::milliseconds kStopGrace{100};

// How long the task's thread waits for a stage before it looks at the stop
// flag again.
inline constexpr std::chrono::milliseconds kStageWait{20};

// A packet the decoder refused; fatal only with "xerror".
struct DecodeError {};

struct TranscodeRun {
  using Clock = std::chrono::steady_clock;

  explicit TranscodeRun(TCustomEngineTask& task);
  ~TranscodeRun();

  void Setup();
  void Loop();
  void Finish();

  // Setup steps.
  void BuildInputStreams();
  void MapOutputStreams();
  int ChooseInputStream(AVMediaType type, int group) const;
  void PrepareStream(OutputStreamState& output);
  void PrepareVideoStream(OutputStreamState& output, const InputStreamState& input);
  void PreparePassLog(OutputStreamState& output);
  void OpenEncoders();
  void OpenDecoders();
  void CopyMetadataAndChapters();
  void WriteHeaders();
  void LogSessionDescription();
  void LogMapping();

  // Packet loop.
  int ChooseInputFile();
  bool FrameLimitReached(const OutputStreamState& output) const;
  void ProcessPacket(InputStreamState& input, AVPacket* packet);
  void Decode(InputStreamState& input, const AVPacket* packet);
  void DecodeOnStage(InputStreamState& input, const AVPacket* packet);
  bool TakeDecoded(InputStreamState& input, std::chrono::milliseconds timeout);
  void HandleDecoded(InputStreamState& input, AVFrame* decoded, int indexInPacket, bool fromPacket);
  void HandleVideoFrame(InputStreamState& input, AVFrame* frame);
  void HandleUprightFrame(InputStreamState& input, AVFrame* frame);
  void PushUpright(InputStreamState& input, AVFrame* picture);
  void EndTelecineCheck(InputStreamState& input);
  void DrainUpright(InputStreamState& input);
  void FlushUpright(InputStreamState& input);
  void ProcessVideoFrame(InputStreamState& input, AVFrame* frame);
  void ReleaseDelayedPictures(InputFileState& file, bool all);
  void HandleAudioFrame(InputStreamState& input, AVFrame* frame);
  void HandleSubtitle(InputStreamState& input, const AVPacket* packet);
  void CopyPacket(InputStreamState& input, OutputStreamState& output, const AVPacket* packet);
  InputStreamState* PacketStream(int file, int index);
  InputStreamState* TakeLateBurnIn(int file, int index);
  bool PastEnd(const InputStreamState& input, std::int64_t packetTime, std::int64_t recordingEnd) const;
  bool KeepWithinInput(const InputStreamState& input, AVFrame* decoded) const;
  bool EndOfFile(int file);
  void AdjustTimestamps(InputStreamState& input, AVPacket* packet);
  void FollowClockJump(InputStreamState& input, AVPacket* packet);
  void WaitForRealTime(const InputStreamState& input, std::int64_t packetTime);
  std::int64_t DecodedTime(const InputStreamState& input, const AVFrame& decoded) const;
  void LogMultipleFrames(InputStreamState& input);
  void SwitchToNextFile(int file);
  void FlushDecoders();
  void FlushEncoders();
  void DiscardEmptyOutputs();
  // Whether a stop was requested; notes when the run first saw it.
  bool Stopping();
  // Whether the grace time after a stop request is over.
  bool StopOverdue();

  // Hands item to a stage (an empty item ends its stream), running take(wait)
  // on the stage's results while waiting for room, so that both queues keep
  // moving; take returns false when nothing came. Then takes what is ready,
  // or at the end of the stream everything up to the stage's End, unless a
  // stop is overdue.
  template <typename Stage, typename Item, typename Take>
  void FeedStage(Stage& stage, Item& item, Take take) {
    const bool end = !item;
    while (!stage.Send(item, std::chrono::milliseconds(0))) take(kStageWait);
    if (!end) {
      while (take(std::chrono::milliseconds(0))) {
      }
      return;
    }
    while (!stage.Ended() && !StopOverdue()) take(kStageWait);
  }

  // Outputs.
  void VideoOut(OutputStreamState& output, InputStreamState& input, AVFrame* frame);
  // Shows the held picture in the output frames nearer its time than `until`
  // (the next picture's time, in output frames).
  void ShowHeldPicture(OutputStreamState& output, InputStreamState& input, double until);
  // The end of the pictures: the last held one fills its own duration.
  void ShowLastPicture(OutputStreamState& output);
  void EmitPicture(OutputStreamState& output, InputStreamState& input, AVFrame* picture, int frames);
  double SyncDistance(OutputStreamState& output, InputStreamState& input, double frameTime);
  AVFrame* ConvertPicture(OutputStreamState& output, InputStreamState& input, AVFrame* frame);
  // The output's last picture steps (crop, fitting, late colour, pixel format).
  FittingSteps FittingOf(const OutputStreamState& output) const;
  bool NeedsFilterGraph(const OutputStreamState& output) const;
  // Builds the output's fitting steps into a graph for upright pictures of this shape.
  void BuildFilterGraph(OutputStreamState& output, int width, int height, int format, AVRational sar, bool rebuilt);
  void EncodeVideo(OutputStreamState& output, AVFrame* frame, InputStreamState& input);
  void AudioOut(OutputStreamState& output, InputStreamState& input, AVFrame* frame);
  void LeadInForDroppingDecoders(OutputStreamState& output);
  void SetupResampler(OutputStreamState& output, AVFrame* frame);
  void CorrectAudioDrift(OutputStreamState& output, InputStreamState& input);
  void AlignAudioStart(OutputStreamState& output, InputStreamState& input);
  double AudioDrift(const OutputStreamState& output, const InputStreamState& input) const;
  void DropOrPadAudio(OutputStreamState& output, double drift);
  void EncodeAudioFromFifo(OutputStreamState& output, bool final);
  void SendToEncoder(OutputStreamState& output, AVFrame* frame);
  void SendToStage(OutputStreamState& output, AVFrame* frame);
  bool TakeEncoded(OutputStreamState& output, std::chrono::milliseconds timeout);
  void WriteEncoded(OutputStreamState& output, AVPacket* packet, const char* stats);
  void NoteVideoPacket(OutputStreamState& output, const AVPacket* packet);
  void InitBitstreamFilters();
  void EncodeSubtitle(OutputStreamState& output, InputStreamState& input, AVSubtitle& subtitle, const AVPacket* packet);
  // Rescales from the given time base to the stream's and writes through the filters.
  void WritePacket(OutputStreamState& output, AVPacket* packet, AVRational from);
  void WriteFiltered(OutputStreamState& output, AVPacket* packet);

  // Progress.
  void Report(bool final);
  std::string ReportText(bool final, int framesPerSecond, double seconds, std::int64_t size);
  void WriteVideoStats(const OutputStreamState& output, const AVPacket* packet);

  TCustomEngineTask& task;
  TaskSettings& settings;
  PendingFileSettings& pending;
  // A deque: a stream found while reading is appended, and pictures waiting
  // for the burn-in keep pointers to the records.
  std::deque<InputStreamState> inputStreams;
  std::vector<InputFileState> inputFiles;
  std::vector<OutputStreamState> outputStreams;
  std::vector<bool> headerWritten;
  std::vector<std::int64_t> packetsMuxed;  // per output file
  int currentFile = 0;       // the input being read when joining
  int readingFile = 0;       // the input of the last packet, for the progress report
  std::int64_t videoBytes = 0, audioBytes = 0, extraBytes = 0;
  int framesDuplicated = 0, framesDropped = 0;
  int lastDuplicated = 0, lastDropped = 0;
  Clock::time_point started, lastReport;
  Clock::time_point stopSeen{};  // when the run first saw the stop request
  std::array<int, 52> qpHistogram{};
  std::FILE* vstats = nullptr;
  AVPacket* packet = nullptr;
  AVPacket* encoded = nullptr;
  AVFrame* frame = nullptr;
  AVFrame* work = nullptr;   // hook copies and audio frames for the encoder
};
