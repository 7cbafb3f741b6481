#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "media/Bitmap24.h"
#include "player/ManualResetEvent.h"
#include "player/PlayerTypes.h"

class Dispatcher;
class TMediaProbe;
class VideoSink;

// What the play thread is asked to do.
struct PlayThreadEvent {
  // Exposes need no event: the sink repaints the picture it keeps.
  enum Kinds { kRefresh, kAllocate, kResize, kReopen, kQuit };
  int Kind = kRefresh;
  int Width = 0, Height = 0;  // for kResize
};

// What an open stream shares with the player component that opened it. The
// settings are written by the UI thread and read by the stream's threads.
struct PlayerShared {
  std::atomic<int> AudioVolume{128};
  std::atomic<bool> Mute{false};
  std::atomic<bool> Hook{false};
  std::atomic<float> AspectRatio{0};
  std::atomic<int> ScreenWidth{0}, ScreenHeight{0};

  // Set by the seek steps: performed by the read thread, first picture after it
  // queued by the video thread. Created set.
  ManualResetEvent SeekPerformed{true};
  ManualResetEvent PictureAfterSeek{true};
  std::atomic<bool> Seeking{false};

  // The frame hook; called on the video thread under HookMutex.
  std::mutex HookMutex;
  std::function<void(TBitmap24& bitmap, std::int64_t pts)> OnHook;  // guarded by HookMutex

  // Component callbacks, fixed while a stream is open.
  std::function<void(const PlayThreadEvent&)> PostPlayEvent;
  std::function<void(TPlayState)> RaiseState;
  std::function<void()> ReportPosition;
  std::function<void(const std::string&)> SetLastError;
  Dispatcher* UiDispatcher = nullptr;
  TMediaProbe* Probe = nullptr;
  VideoSink* Sink = nullptr;
  const void* LogSender = nullptr;
};
