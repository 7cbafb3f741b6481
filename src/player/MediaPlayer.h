#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "media/Bitmap24.h"
#include "media/FrameBitmap.h"
#include "media/NoTime.h"
#include "picture/UprightSteps.h"
#include "player/PlayerEventQueue.h"
#include "player/PlayerShared.h"
#include "player/PlayerTypes.h"
#include "probe/MediaProbe.h"

class Dispatcher;
class PlayerStream;
class VideoSink;

// Plays one media source (a file, or an "opendvd:" title) into a video sink
// with sound through SDL, reporting the opened file, the position and the
// state to the UI thread, and offering every decoded picture to a hook. All
// operations belong to the UI thread. Only one player is open in the process
// at a time: opening one stops any other.
class TCustomPlayer {
 public:
  using TFileOpenEvent = std::function<void(TCustomPlayer* sender, std::int64_t duration, int frameWidth,
                                            int frameHeight, int& screenWidth, int& screenHeight)>;
  using TPositionEvent = std::function<void(TCustomPlayer* sender, std::int64_t pts)>;
  using TPlayStateEvent = std::function<void(TCustomPlayer* sender, TPlayState state)>;
  // Runs on the video thread: draw on the 24-bit BGR bitmap; pts in microseconds.
  using THookEvent = std::function<void(TCustomPlayer* sender, TBitmap24& bitmap, std::int64_t pts)>;

  // dispatcher: runs the events on the UI thread (not owned; may be null).
  explicit TCustomPlayer(Dispatcher* dispatcher = nullptr);
  virtual ~TCustomPlayer();
  TCustomPlayer(const TCustomPlayer&) = delete;
  TCustomPlayer& operator=(const TCustomPlayer&) = delete;

  std::string About;
  static const char* Version() { return "2.3"; }
  TFileOpenEvent OnFileOpen;
  TPositionEvent OnPosition;
  TPlayStateEvent OnState;
  void SetOnHook(THookEvent handler);

  bool LoadLibraries(const std::string& libraryDirectory);
  bool LibrariesLoaded() const;
  // sink: where the pictures go (not owned; null plays without a picture).
  bool Open(const std::string& source, VideoSink* sink, bool startPaused = false);
  void Stop(bool wait);
  void Pause();
  void Resume();
  bool IsPaused() const;
  void Seek(int flags, bool wait, std::int64_t target);
  void SeekBy(int flags, bool wait, double seconds);
  std::int64_t Position() const { return position_; }
  // The picture on the screen as a 24-bit BGR bitmap at the source size (0 x 0
  // when there is none); position: its time in microseconds, -1 when none.
  const TBitmap24& CurrentFrame(std::int64_t* position = nullptr);
  std::string LastErrorMessage() const;
  TMediaProbe& Probe() { return probe_; }
  TPlayState State() const { return state_; }

  // Pictures shown and dropped by the open stream (0 when none is open).
  int ShownPictures() const;
  int DroppedPictures() const;
  // The audio clock minus the video clock in seconds (NaN without both).
  double AudioVideoOffset() const;

  // A range of the source to play (microseconds; kNoTime: unset). When the
  // position reaches start + end, playback stops, or with PlayRangeLoop goes
  // back to the start.
  std::atomic<std::int64_t> PlayRangeStart{kNoTime}, PlayRangeEnd{kNoTime};
  std::atomic<bool> PlayRangeLoop{false};

 protected:
  float AspectRatio() const { return shared_.AspectRatio; }
  void SetAspectRatio(float value);
  TAudioDriver AudioDriver() const { return audioDriver_; }
  void SetAudioDriver(TAudioDriver value) { audioDriver_ = value; }
  TVideoDriver VideoDriver() const { return videoDriver_; }
  void SetVideoDriver(TVideoDriver value) { videoDriver_ = value; }
  int AudioVolume() const { return shared_.AudioVolume; }
  void SetAudioVolume(int value);
  bool Mute() const { return shared_.Mute; }
  void SetMute(bool value) { shared_.Mute = value; }
  bool Hook() const { return shared_.Hook; }
  void SetHook(bool value) { shared_.Hook = value; }
  int ScreenWidth() const { return shared_.ScreenWidth; }
  void SetScreenWidth(int value) { shared_.ScreenWidth = value; }
  int ScreenHeight() const { return shared_.ScreenHeight; }
  void SetScreenHeight(int value) { shared_.ScreenHeight = value; }

 public:
  bool DisableAudio = false, DisableVideo = false, DisableDisplay = false;
  // The picture chain's deinterlacing for the next Open, as conversions do it.
  Deinterlacing Deinterlace = Deinterlacing::Never;
  bool TriggerEventInMainThread = true;
  int FrameWidth = 0, FrameHeight = 0;

 private:
  bool StartSdl(VideoSink* sink);
  void ShutdownSdl();
  void Fail(const std::string& message, bool log);
  void RaiseFileOpen(const PlayerStream& stream, VideoSink* sink);
  std::shared_ptr<PlayerStream> CurrentStream() const;
  void CloseStream();
  void PostSeek(PlayerStream& stream, std::int64_t target, int flags, bool wait);
  void TogglePause(PlayerStream& stream, bool pausing);

  // Play thread (PlayThread.cpp).
  void PostPlayEvent(const PlayThreadEvent& event);
  void PlayThreadMain();
  bool HandlePlayEvent(const PlayThreadEvent& event);
  void ReportPosition();
  // Event thread.
  void RaiseState(TPlayState state);
  void EventThreadMain();
  void Deliver(const std::function<void()>& call);

  Dispatcher* dispatcher_;  // not owned
  PlayerShared shared_;
  TMediaProbe probe_;
  TAudioDriver audioDriver_ = TAudioDriver::adDefault;
  TVideoDriver videoDriver_ = TVideoDriver::vdDefault;

  mutable std::mutex streamMutex_;
  std::shared_ptr<PlayerStream> stream_;  // guarded by streamMutex_
  VideoSink* sink_ = nullptr;             // UI thread
  std::atomic<bool> sdlStarted_{false};

  mutable std::mutex errorMutex_;
  std::string lastError_;  // guarded by errorMutex_

  // Position reporting: play thread, Position() read anywhere.
  std::atomic<std::int64_t> position_{-1};
  std::int64_t lastReported_ = 0;
  bool reported_ = false;
  std::atomic<bool> endAnnounced_{false};
  std::atomic<TPlayState> state_{psStop};

  // The play thread and its queue.
  std::timed_mutex playerMutex_;  // held by the play thread around each event
  std::mutex playQueueMutex_;
  std::condition_variable playQueueChanged_;
  std::deque<PlayThreadEvent> playQueue_;  // guarded by playQueueMutex_
  std::thread playThread_;                 // UI thread
  ManualResetEvent playThreadEnded_{true};

  // The event thread and its queue.
  PlayerEventQueue events_;
  std::thread eventThread_;  // UI thread
  std::atomic<bool> eventThreadEnded_{true};

  std::unique_ptr<FrameBitmapConverter> frameConverter_;  // UI thread; made anew for each source
  TBitmap24 currentFrame_;               // UI thread
};

// The component as the windows use it: the properties made public.
class TMediaPlayer : public TCustomPlayer {
 public:
  using TCustomPlayer::TCustomPlayer;
  using TCustomPlayer::AspectRatio;
  using TCustomPlayer::AudioDriver;
  using TCustomPlayer::AudioVolume;
  using TCustomPlayer::Hook;
  using TCustomPlayer::Mute;
  using TCustomPlayer::ScreenHeight;
  using TCustomPlayer::ScreenWidth;
  using TCustomPlayer::SetAspectRatio;
  using TCustomPlayer::SetAudioDriver;
  using TCustomPlayer::SetAudioVolume;
  using TCustomPlayer::SetHook;
  using TCustomPlayer::SetMute;
  using TCustomPlayer::SetScreenHeight;
  using TCustomPlayer::SetScreenWidth;
  using TCustomPlayer::SetVideoDriver;
  using TCustomPlayer::VideoDriver;
};
