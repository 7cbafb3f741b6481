#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/MediaApi.h"
#include "picture/FilterGraph.h"
#include "picture/TelecineCheck.h"
#include "picture/UprightSteps.h"
#include "player/FrameTiming.h"
#include "player/PacketQueue.h"
#include "player/PictureQueue.h"
#include "player/PlayerClock.h"
#include "player/PlayerShared.h"
#include "player/TimelineRebase.h"
#include "player/VideoSink.h"

class DvdInput;
class FrameBitmapConverter;
class SubtitleBurnIn;
struct SwrContext;

// One open source: the read thread demultiplexing into packet queues, the
// video thread decoding into the picture queue, the refresh thread pacing the
// display, and SDL's audio callback decoding and mixing sound. The display
// itself runs on the component's play thread (Refresh, AllocatePicture).
class PlayerStream {
 public:
  struct Options {
    bool DisableAudio = false, DisableVideo = false, DisableDisplay = false, StartPaused = false;
    Deinterlacing Deinterlace = Deinterlacing::Never;
    std::int64_t StartTime = INT64_MIN;  // microseconds from the start; INT64_MIN: from the start
  };

  PlayerStream(PlayerShared& shared, const std::string& name, const Options& options);
  ~PlayerStream();
  PlayerStream(const PlayerStream&) = delete;
  PlayerStream& operator=(const PlayerStream&) = delete;

  // Starts the read thread and waits for its open result, pumping the UI
  // thread's calls meanwhile. False with the reason given to SetLastError.
  bool Open();
  // Starts pacing the display (after a successful open).
  void StartRefresh();
  // Ends every thread of the stream and frees it. Threads that do not end in
  // time (a read stuck in the system) are waited for by a thread of their own,
  // which frees the stream once they are done, so no caller hangs.
  static void Close(std::shared_ptr<PlayerStream> stream);

  // Play thread.
  void Refresh(bool advance);
  void AllocatePicture();
  void Resize(int width, int height);
  void ReopenSurface();
  void RefreshDone() { refreshPending_ = false; }

  // UI thread.
  bool Paused() const { return paused_; }
  void TogglePause();
  // False when another seek is still pending. target: microseconds of the
  // input's clock, or bytes with the by-bytes flag.
  bool RequestSeek(std::int64_t target, int flags);
  bool SeekPending();
  double MasterClock();
  std::int64_t BytePosition() const { return bytePosition_; }
  int BitRate() const;

  // Fixed once open.
  const std::string& Name() const { return name_; }
  bool HasVideo() const { return videoIndex_ >= 0; }
  bool HasAudio() const { return audioOpen_; }
  bool ImageSequence() const { return imageSequence_; }
  bool CaptureDevice() const { return captureDevice_; }
  std::int64_t StartTime() const { return startTime_; }  // microseconds, 0 when unknown
  std::int64_t Duration() const { return duration_; }    // microseconds, -1 when unknown
  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }
  bool Visualising() const { return visualise_; }

  // Any thread.
  double VideoClock();
  double AudioClock();
  // The read thread reached the end of the input and every packet queue is empty.
  bool AtEnd() const { return atEnd_; }
  // Whether the read thread is inside a read of the input just now.
  bool ReadBlocked() const { return inRead_; }
  // Pictures shown and dropped so far (for measurements).
  int ShownPictures() const { return shownPictures_; }
  int DroppedPictures() const { return droppedPictures_; }
  // A copy (new reference) of the picture on the screen, nullptr before the
  // first one; pts in seconds.
  AVFrame* ShownFrame(double& pts);

 private:
  // Read thread (PlayerRead.cpp).
  static int ReadThreadMain(void* stream);
  int OpenInput();
  void ReadLoop();
  void PerformSeek();
  void SeekToStart();
  int SeekInput(std::int64_t target, int flags);
  bool QueuesFull() const;
  void QueuePacket(AVPacket* packet);
  void OpenComponent(int index);
  bool TakeLateSubtitle(int index);
  void CloseComponents();
  static int InterruptCallback(void* stream);

  // Video thread (PlayerVideo.cpp).
  static int VideoThreadMain(void* stream);
  void VideoLoop();
  void DecodeVideoPacket(AVPacket* packet);
  void FilterAndQueue(AVFrame* frame, std::int64_t position);
  void EndTelecineCheck();
  void RunUprightGraph(AVFrame* frame, std::int64_t position);
  void QueueFiltered(std::int64_t position);
  void QueuePicture(AVFrame* frame, double pts, std::int64_t position);
  void ApplyHook(AVFrame*& frame, double pts);
  void TakeSubtitles(double pts);

  // Audio (PlayerAudio.cpp).
  bool OpenAudio(AVCodecContext* decoder);
  static void AudioCallback(void* stream, std::uint8_t* buffer, int length);
  void FillAudio(std::uint8_t* buffer, int length);
  int DecodeAudio();
  int ConvertAudioFrame();
  bool WaitingForVideo();
  bool StartsAfterVideo();
  void CloseAudio();

  // Display (PlayerDisplay.cpp).
  static int RefreshThreadMain(void* stream);
  void Display(AVFrame* frame, double pts, std::shared_ptr<SinkPicture> picture, const SinkPlacement& placement);
  void Redisplay();
  void OpenSurface();
  SinkPlacement PlacementFor(int frameWidth, int frameHeight, double sampleAspect) const;
  std::shared_ptr<SinkPicture> SparePicture(int width, int height);
  void ReplaceShownPicture(std::shared_ptr<SinkPicture> picture);
  void DrawVisualisation();

  void WaitForThread(std::atomic<bool>& ended, struct SDL_Thread*& thread, bool& stuck);

  PlayerShared& shared_;
  const std::string name_;
  const Options options_;

  // Read thread's until the open result; fixed afterwards. The other threads
  // take the streams' time bases from the copies here: the demuxer reallocates
  // its stream list when it meets a new stream.
  AVFormatContext* input_ = nullptr;
  std::unique_ptr<DvdInput> dvd_;
  int audioIndex_ = -1, videoIndex_ = -1;
  AVCodecContext *audioDecoder_ = nullptr, *videoDecoder_ = nullptr;
  AVRational audioTimeBase_{1, AV_TIME_BASE}, videoTimeBase_{1, AV_TIME_BASE};
  // The subtitle: written by the read thread at the open or, for a DVD
  // subpicture stream first met while reading, then; handed to the video
  // thread by subtitleReady_ (set after the three fields, never cleared).
  int subtitleIndex_ = -1;
  AVCodecContext* subtitleDecoder_ = nullptr;
  AVRational subtitleTimeBase_{1, AV_TIME_BASE};
  std::atomic<bool> subtitleReady_{false};
  bool audioOpen_ = false;
  bool imageSequence_ = false, captureDevice_ = false;
  std::int64_t startTime_ = 0, duration_ = -1;
  int frameWidth_ = 0, frameHeight_ = 0;
  double sampleAspect_ = 0;
  std::atomic<bool> visualise_{false};  // read by SDL's callback, which starts before the open ends
  std::atomic<int> openResult_{0};  // > 0 opened, < 0 failed

  // Threads.
  struct SDL_Thread *readThread_ = nullptr, *videoThread_ = nullptr, *refreshThread_ = nullptr;
  // Set when each thread has ended (or was never started).
  std::atomic<bool> readEnded_{true}, videoEnded_{true}, refreshEnded_{true};
  std::atomic<bool> abort_{false};
  std::atomic<bool> inRead_{false};

  PacketQueue audioQueue_, videoQueue_, subtitleQueue_;
  PictureQueue pictures_;
  FrameTiming timing_;            // guarded by pictures_.Mutex()
  std::atomic<bool> refreshPending_{false};
  std::atomic<int> surfaceGeneration_{0};   // play thread bumps it when the surface changes
  std::atomic<bool> stepPending_{false};    // a picture to show although paused

  // Pause: written by the UI thread.
  std::atomic<bool> paused_{false};
  std::atomic<double> pausedAt_{0};  // wall clock of the pause; written by the UI thread
  bool readPaused_ = false;       // read thread

  // Seek request: guarded by seekMutex_.
  std::mutex seekMutex_;
  bool seekRequested_ = false;
  std::int64_t seekTarget_ = 0;
  int seekFlags_ = 0;

  // End of input: read thread.
  bool endOfFile_ = false, endReported_ = false, drainQueued_ = false;
  std::atomic<bool> atEnd_{false};
  std::atomic<std::int64_t> bytePosition_{-1};
  TimelineRebase timeline_{1000000};

  // Clocks.
  PlayerClock audioClock_, videoClock_;
  std::atomic<double> startClock_{0};  // the input's start time in seconds, the video clock before any picture

  // Audio, used by SDL's callback (and the read thread before it starts).
  SwrContext* resampler_ = nullptr;
  AVFrame* audioFrame_ = nullptr;
  AVPacket* audioPacket_ = nullptr;
  std::vector<std::uint8_t> audioBuffer_;
  std::size_t audioBufferIndex_ = 0;
  bool bufferIsSound_ = false;    // the buffer holds decoded sound, not silence
  int resamplerFormat_ = -1, resamplerRate_ = 0;
  AVChannelLayout resamplerLayout_{};
  double audioPts_ = NAN;         // seconds at the end of the decoded audio
  int deviceRate_ = 0, deviceChannels_ = 0;
  // After a seek the sound starts where the first new picture is: the video
  // thread gives its time (NaN until then), the callback drops the sound before it.
  std::atomic<double> videoRestart_{NAN};
  bool audioWaitsForVideo_ = false;  // callback
  double audioFlushedAt_ = 0;        // callback: wall clock of the flush
  // The last samples played, for the visualisation: guarded by visualMutex_.
  std::mutex visualMutex_;
  std::vector<std::int16_t> visualSamples_;

  // Video thread.
  AVFrame *decodedFrame_ = nullptr, *filteredFrame_ = nullptr;  // reused for every packet
  AVPacket* subtitlePacket_ = nullptr;
  // The picture chain's upright steps, as the conversion runs them, so the
  // preview shows what gets converted; set when the stream opens.
  UprightSteps upright_;
  AVRational videoFrameRate_{0, 1};
  // Holds an NTSC stream's first pictures until they show whether it is
  // telecined film (set when the stream opens, again after a seek before
  // the answer; gone once decided).
  std::unique_ptr<TelecineCheck> telecineCheck_;
  PictureFilterGraph graph_;
  std::int64_t lastPosition_ = -1;  // file position of the last picture given to the graph
  TimestampChooser timestamps_;
  int decodedFrames_ = 0;
  double lastQueuedPts_ = 0;  // seconds
  bool videoAfterFlush_ = false;  // the next picture is the first after a seek
  std::unique_ptr<FrameBitmapConverter> hookConverter_;
  TBitmap24 hookBitmap_;
  std::unique_ptr<SubtitleBurnIn> subtitles_;
  SwsContext* displayScaler_ = nullptr;
  bool pauseAnnounced_ = false;

  // Play thread: the picture on the screen, guarded by shownMutex_ (read by the UI thread).
  std::atomic<int> shownPictures_{0}, droppedPictures_{0};
  std::mutex shownMutex_;
  AVFrame* shownFrame_ = nullptr;
  double shownPts_ = 0;
  std::shared_ptr<SinkPicture> shownPicture_;
  SinkPlacement shownPlacement_;
  std::vector<std::shared_ptr<SinkPicture>> spare_;  // play thread only
  int surfaceWidth_ = 0, surfaceHeight_ = 0;        // play thread
  SwsContext* redisplayScaler_ = nullptr;           // play thread
};
