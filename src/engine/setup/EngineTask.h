#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/options/TaskOptions.h"
#include "engine/setup/SourceIdentity.h"

class DvdInput;
class HookModuleList;
struct RunContext;

// Values of one progress report.
struct TaskProgress {
  int fileIndex = -1;              // input file being read; -1 in the final report
  int frameNumber = 0;             // frames encoded in the first video output stream
  int framesPerSecond = 0;
  float quality = -1;              // encoder quantiser, -1 when not available
  float bitRate = 0;               // kbit/s of the output so far
  std::int64_t currentSize = 0;    // bytes written so far
  std::int64_t currentDuration = 0;  // microseconds of output written so far
  std::int64_t totalDuration = -1;   // microseconds expected; -1 unknown
  std::string text;                // the report line
};

// A decoded video frame offered to the frame hook (worker thread). The handler
// may change the frame's pixels in place; returning false stops further calls.
using FrameHookHandler = std::function<bool(AVFrame* frame, int frameNumber, std::int64_t ptsMicroseconds)>;
// An encoded video frame offered to the preview.
using PreviewHandler = std::function<void(const AVFrame* frame, int frameNumber, std::int64_t ptsMicroseconds)>;
using ProgressHandler = std::function<void(const TaskProgress& progress)>;

// One conversion task: its options, input files, output files and the
// transcoding run. Options accumulate and are consumed by the next file that
// opens. Run() executes in one thread; RequestStop() may come from any thread.
class TCustomEngineTask : private OptionHost {
 public:
  TCustomEngineTask();
  ~TCustomEngineTask() override;
  TCustomEngineTask(const TCustomEngineTask&) = delete;
  TCustomEngineTask& operator=(const TCustomEngineTask&) = delete;

  // Raises EngineException with the option's texts.
  void ApplyOption(const std::string& name, const std::string& value);
  void ApplyTarget(const std::string& value, const std::string& fallbackNorm);
  // False with ErrorText() set when the file cannot be opened.
  bool OpenInputFile(const std::string& fileName);
  // Index of the new output file, or -1 with ErrorText() set.
  int OpenOutputFile(const std::string& fileName, bool join);
  // Releases everything and restores every default.
  void Reset();
  // Closes the files (deleting empty outputs) and frees all contexts.
  void Release();

  // Transcodes, then releases the files. Errors end the run: Exception() and
  // ErrorText() tell. Finished() is true when no stop was requested.
  void Run();
  void RequestStop();
  // Cooperative pause: the run waits before its next packet, holding no lock.
  void Pause();
  void Resume();
  bool Paused() const;
  // Called by the run before every packet.
  void WaitWhilePaused();
  // For the run's helper threads: waits while paused, at most slice; true
  // when the task is still paused.
  bool WaitWhilePausedFor(std::chrono::milliseconds slice);
  bool StopRequested() const { return stopRequested_; }
  bool Finished() const { return finished_; }
  bool Exception() const { return exception_; }
  const std::string& ErrorText() const { return errorText_; }

  int InputCount() const { return int(inputs_.size()); }
  int OutputCount() const { return int(outputs_.size()); }
  AVFormatContext* Input(int index) const { return inputs_.at(size_t(index)).context; }
  std::int64_t ExpectedDuration() const { return options_.task.expectedDuration; }

  void SetVerbosity(int verbosity) { options_.task.verbosity = verbosity; }
  void SetProgressInterval(std::int64_t microseconds) { progressInterval_ = microseconds; }
  void SetProgressHandler(ProgressHandler handler) { onProgress_ = std::move(handler); }
  void SetFrameHook(FrameHookHandler handler) { onFrameHook_ = std::move(handler); }
  void SetPreviewHandler(PreviewHandler handler) { onPreview_ = std::move(handler); }

  TaskOptions& Options() { return options_; }

  // An opened input file and its timing adjustments.
  struct InputFile {
    AVFormatContext* context = nullptr;
    std::int64_t tsOffset = 0;   // microseconds added to every timestamp
    std::int64_t startTime = 0;  // the "ss" offset it was opened with
    std::int64_t discontinuityThreshold = -1;  // microseconds; -1: the task's setting
    std::shared_ptr<DvdInput> dvd;  // a DVD title read through the plug-in
    int burnInStream = -1;          // a subtitle stream drawn into the picture, not an output's source
    std::int64_t beginTime = INT64_MIN;  // microseconds of the adjusted clock before which nothing is used (a DVD range)
    std::int64_t endTime = INT64_MAX;  // microseconds of the adjusted clock where the input ends (a DVD range)
    std::array<double, kMaxStreams> tsScale{};
    std::optional<SourceIdentity> source;  // a local file: which one was opened
  };
  // What an output stream was given when it was created.
  struct OutputStreamSetup {
    StreamKind kind = StreamKind::Video;
    bool copy = false;
    AVCodecContext* encoder = nullptr;  // configured, opened by the run; nullptr for copy
    AVCodecID missingCodecId = AV_CODEC_ID_NONE;  // the format's default codec when no encoder exists
    std::vector<std::string> bitstreamFilters;
    std::string videoFilters;
    int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
    float audioQuality = -99999;
    int sourceId = kAnySource;     // a whole DVD title's stream: the input stream with this demuxer id
    int sourceIndex = kAnySource;  // a stream of the first input kept with every other: its index there
  };
  static constexpr int kAnySource = -1;
  struct OutputFile {
    AVFormatContext* context = nullptr;
    std::int64_t startTime = 0;  // "ss" given for this output: earlier frames are dropped
    std::vector<OutputStreamSetup> streams;  // by stream index
    int groupCount = 1;  // joined outputs are registered once per input file
    bool discard = false;  // received nothing: deleted when closed
    std::string name;         // as the caller named it, for messages
    std::string finalPath;    // a local file: where it appears once complete
    std::string partialPath;  // where a local file is written until then; empty once published
    bool replace = false;     // finalPath existed when opened: the caller asked to replace it

    // Raises the write error when the file's writes failed (a full disk says
    // so); otherwise `failure` when result is negative.
    void CheckWrite(int result, const std::string& failure) const;
  };

 private:
  friend struct RunContext;

  // OptionHost
  void AddStreamToLastOutput(StreamKind kind) override;
  std::vector<AVRational> InputVideoFrameRates() const override;
  void AddHookModule(const std::vector<std::string>& words) override;

  void OpenInputOrThrow(const std::string& fileName);
  static int StopRequestedCallback(void* task);
  void SeekToStartTime(InputFile& input, const std::string& fileName);
  bool SeekInput(InputFile& input, std::int64_t timestamp);
  void LimitToDvdRange(InputFile& input);
  void ApplyDvdParameters(const struct DvdParam& param);
  void TakeStreamValues(InputFile& input);
  void OpenOutputOrThrow(const std::string& fileName, bool join);
  void CreateOutputStreams(OutputFile& output, bool join);
  void AddOutputStream(OutputFile& output, StreamKind kind);
  const DvdInput* WholeTitleInput() const;
  void AddWholeTitleStreams(OutputFile& output, StreamKind kind, const DvdInput& title);
  void AddEveryStream(OutputFile& output, StreamKind kind);
  // The first input's stream with this demuxer id, or nullptr.
  const AVStream* StreamWithId(int id) const;
  void ConfigureVideoEncoder(AVCodecContext* encoder, const AVCodec* codec, const AVOutputFormat* format);
  void ConfigureAudioEncoder(AVCodecContext* encoder, const AVCodec* codec);
  void FinishOutputContext(OutputFile& output, const std::string& fileName, bool join);
  void ClearPendingCodecs();
  void OpenOutputTarget(OutputFile& output, const std::string& fileName);
  void Transcode();
  void CheckSourcesUnchanged() const;
  void PublishOutputs();
  void Fail(const std::string& message);

  TaskOptions options_;
  std::vector<InputFile> inputs_;
  std::vector<OutputFile> outputs_;
  std::unique_ptr<HookModuleList> hookModules_;
  bool joining_ = false;
  std::atomic<bool> stopRequested_{false};
  mutable std::mutex pauseLock_;
  std::condition_variable pauseChanged_;
  bool paused_ = false;  // guarded by pauseLock_
  bool finished_ = false;
  bool exception_ = false;
  std::string errorText_;
  std::int64_t progressInterval_ = 500000;
  ProgressHandler onProgress_;
  FrameHookHandler onFrameHook_;
  PreviewHandler onPreview_;
};
