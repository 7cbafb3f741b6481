#include "player/MediaPlayer.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "media/Dispatcher.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "player/PlayerStream.h"
#include "player/VideoSink.h"

namespace {
constexpr std::size_t kMaxNameUnits = 1023;  // UTF-16 units of a source name
constexpr auto kPauseWait = std::chrono::milliseconds(250);
constexpr auto kSeekSlice = std::chrono::milliseconds(100);  // the seek waits check in these steps

// The one open player of the process.
std::mutex openPlayerMutex;
TCustomPlayer* openPlayer = nullptr;  // guarded by openPlayerMutex

std::size_t Utf16Units(const std::string& text) {
  std::size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++units;  // one per code point ...
    if ((c & 0xF8) == 0xF0) ++units;  // ... and a second for those beyond 16 bits
  }
  return units;
}

void SetDriverVariable(const char* variable, const char* name) {
  // The default leaves the variable as it is: SDL's own choice, or the user's.
  if (*name) setenv(variable, name, 1);
}
}  // namespace

TCustomPlayer::TCustomPlayer(Dispatcher* dispatcher) : dispatcher_(dispatcher) {
  shared_.UiDispatcher = dispatcher;
  shared_.Probe = &probe_;
  shared_.LogSender = this;
  shared_.PostPlayEvent = [this](const PlayThreadEvent& event) { PostPlayEvent(event); };
  shared_.RaiseState = [this](TPlayState state) { RaiseState(state); };
  shared_.ReportPosition = [this] { ReportPosition(); };
  shared_.SetLastError = [this](const std::string& message) {
    std::lock_guard lock(errorMutex_);
    lastError_ = message;
  };
}

// The handlers are cleared once every thread that calls them has ended.
TCustomPlayer::~TCustomPlayer() {
  Stop(true);
  OnPosition = nullptr;
  OnState = nullptr;
  SetOnHook(nullptr);
}

void TCustomPlayer::SetOnHook(THookEvent handler) {
  std::lock_guard lock(shared_.HookMutex);
  if (handler)
    shared_.OnHook = [this, handler = std::move(handler)](TBitmap24& bitmap, std::int64_t pts) { handler(this, bitmap, pts); };
  else
    shared_.OnHook = nullptr;
}

bool TCustomPlayer::LoadLibraries(const std::string& libraryDirectory) {
  TMediaLoader& loader = TMediaLoader::instance();
  loader.setLibraryDirectory(libraryDirectory);
  if (loader.loadSet(kPlayerLibraries)) return true;
  Fail(loader.lastError(), false);
  return false;
}

bool TCustomPlayer::LibrariesLoaded() const { return TMediaLoader::instance().isSetLoaded(kPlayerLibraries); }

std::string TCustomPlayer::LastErrorMessage() const {
  std::lock_guard lock(errorMutex_);
  return lastError_;
}

void TCustomPlayer::Fail(const std::string& message, bool log) {
  if (log) TMediaLogger::instance().Log(this, llError, message);
  shared_.SetLastError(message);
}

void TCustomPlayer::SetAspectRatio(float value) {
  if (value == shared_.AspectRatio) return;
  shared_.AspectRatio = value;
  if (CurrentStream()) PostPlayEvent({PlayThreadEvent::kReopen});
}

void TCustomPlayer::SetAudioVolume(int value) { shared_.AudioVolume = value < 0 ? 0 : value > 128 ? 128 : value; }

std::shared_ptr<PlayerStream> TCustomPlayer::CurrentStream() const {
  std::lock_guard lock(streamMutex_);
  return stream_;
}

bool TCustomPlayer::StartSdl(VideoSink* sink) {
  SetDriverVariable("SDL_AUDIODRIVER", AudioDriverName(audioDriver_));
  SetDriverVariable("SDL_VIDEODRIVER", VideoDriverName(videoDriver_));
  if (media::SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
    Fail(StringPrintf("Could not initialize SDL with ScreenHandle(%u): %s", unsigned(sink ? sink->Handle() : 0),
                      media::SDL_GetError()),
         true);
    return false;
  }
  sdlStarted_ = true;
  const char* audioDriver = media::SDL_GetCurrentAudioDriver();
  TMediaLogger::instance().LogFmt(this, llDebug, "using audio driver: %s", audioDriver ? audioDriver : "none");
  TMediaLogger::instance().LogFmt(this, llDebug, "using video driver: %s", sink ? sink->DriverName().c_str() : "none");
  return true;
}

void TCustomPlayer::ShutdownSdl() {
  if (sdlStarted_.exchange(false)) media::SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TCustomPlayer::Open(const std::string& source, VideoSink* sink, bool startPaused) {
  if (!LibrariesLoaded()) {
    Fail("libav or libsdl not loaded.", true);
    return false;
  }
  if (Utf16Units(source) > kMaxNameUnits) {
    Fail(StringPrintf("%s: the source name is longer than %zu characters", source.c_str(), kMaxNameUnits), true);
    return false;
  }
  Stop(true);
  TCustomPlayer* other;
  {
    std::lock_guard lock(openPlayerMutex);
    other = openPlayer;
  }
  if (other && other != this) other->Stop(true);
  if (!StartSdl(sink)) return false;
  if (DisableDisplay) DisableVideo = true;

  PlayerStream::Options options;
  options.DisableAudio = DisableAudio;
  options.DisableVideo = DisableVideo;
  options.DisableDisplay = DisableDisplay;
  options.StartPaused = startPaused;
  options.Deinterlace = Deinterlace;
  if (PlayRangeStart != kNoTime) options.StartTime = PlayRangeStart;
  shared_.Sink = sink;
  {
    std::lock_guard lock(playQueueMutex_);
    playQueue_.clear();
  }
  events_.Clear();
  position_ = -1;
  reported_ = false;
  endAnnounced_ = false;
  auto stream = std::make_shared<PlayerStream>(shared_, source, options);
  if (!stream->Open()) {
    stream.reset();
    position_ = -1;
    ShutdownSdl();
    return false;
  }
  stream->StartRefresh();
  {
    std::lock_guard lock(streamMutex_);
    stream_ = stream;
  }
  {
    std::lock_guard lock(openPlayerMutex);
    openPlayer = this;
  }
  sink_ = sink;
  if (sink) sink->SetResizeListener([this](int width, int height) { PostPlayEvent({PlayThreadEvent::kResize, width, height}); });
  RaiseFileOpen(*stream, sink);

  playThreadEnded_.Reset();
  eventThreadEnded_ = false;
  eventThread_ = std::thread(&TCustomPlayer::EventThreadMain, this);
  playThread_ = std::thread(&TCustomPlayer::PlayThreadMain, this);
  return true;
}

void TCustomPlayer::RaiseFileOpen(const PlayerStream& stream, VideoSink* sink) {
  frameConverter_ = std::make_unique<FrameBitmapConverter>();
  const std::int64_t duration = stream.ImageSequence() ? 0 : stream.Duration();
  const int width = stream.HasVideo() ? stream.FrameWidth() : -1;
  const int height = stream.HasVideo() ? stream.FrameHeight() : -1;
  int screenWidth = shared_.ScreenWidth, screenHeight = shared_.ScreenHeight;
  if (OnFileOpen) OnFileOpen(this, duration, width, height, screenWidth, screenHeight);
  if (sink && (screenWidth == 0 || screenHeight == 0)) sink->ClientSize(screenWidth, screenHeight);
  shared_.ScreenWidth = screenWidth;
  shared_.ScreenHeight = screenHeight;
}

void TCustomPlayer::CloseStream() {
  std::shared_ptr<PlayerStream> stream;
  {
    std::lock_guard lock(streamMutex_);
    stream.swap(stream_);
  }
  if (!stream) return;
  if (shared_.Sink) shared_.Sink->Clear();
  probe_.Close();  // detached before the input it describes is closed
  PlayerStream::Close(std::move(stream));
  position_ = -1;
  reported_ = false;
  std::lock_guard lock(openPlayerMutex);
  if (openPlayer == this) openPlayer = nullptr;
}

void TCustomPlayer::Stop(bool wait) {
  if (auto stream = CurrentStream()) {
    if (stream->Paused()) stream->TogglePause();
    PostPlayEvent({PlayThreadEvent::kQuit});
  }
  if (!wait) return;
  if (sink_) sink_->SetResizeListener(nullptr);
  int tries = 0;
  while (!playThreadEnded_.IsSet()) {
    PumpOnUiThread(dispatcher_);
    if (playThreadEnded_.Wait(std::chrono::milliseconds(100))) break;
    auto stream = CurrentStream();
    if (!stream) {
      PostPlayEvent({PlayThreadEvent::kQuit});  // wakes the play thread, which ends without a stream
      continue;
    }
    // A slice in which the play thread holds its lock or ignores the quit
    // counts as a try; after the tries the stream is closed from here.
    const bool locked = playerMutex_.try_lock_for(std::chrono::milliseconds(100));
    if (locked) playerMutex_.unlock();
    const int limit = stream->ReadBlocked() ? 10 : 20;
    if (++tries <= limit) {
      PostPlayEvent({PlayThreadEvent::kQuit});
    } else {
      CloseStream();
      PostPlayEvent({PlayThreadEvent::kQuit});
    }
  }
  if (playThread_.joinable()) playThread_.join();
  WaitPumping(dispatcher_, [this] { return eventThreadEnded_.load(); }, std::chrono::milliseconds(5));
  if (eventThread_.joinable()) eventThread_.join();
  CloseStream();
  ShutdownSdl();
  shared_.Sink = nullptr;
  sink_ = nullptr;
}

void TCustomPlayer::TogglePause(PlayerStream& stream, bool pausing) {
  if (!shared_.SeekPerformed.Wait(kPauseWait)) shared_.SeekPerformed.Set();
  if (pausing && stream.HasVideo() && !shared_.PictureAfterSeek.Wait(kPauseWait)) shared_.PictureAfterSeek.Set();
  stream.TogglePause();
}

void TCustomPlayer::Pause() {
  auto stream = CurrentStream();
  if (!stream || stream->Paused()) return;
  TogglePause(*stream, true);
  RaiseState(psPause);
}

void TCustomPlayer::Resume() {
  auto stream = CurrentStream();
  if (!stream || !stream->Paused()) return;
  TogglePause(*stream, false);
  RaiseState(psResume);
}

bool TCustomPlayer::IsPaused() const {
  auto stream = CurrentStream();
  return !stream || stream->Paused();
}

void TCustomPlayer::Seek(int flags, bool wait, std::int64_t target) {
  auto stream = CurrentStream();
  if (!stream) return;
  if (!(flags & kSeekByte)) {
    // A known duration bounds the target; an unknown one leaves it as it is.
    if (stream->Duration() >= 0 && stream->Duration() < target) target = stream->Duration();
    target += stream->StartTime();
  }
  PostSeek(*stream, target, flags, wait);
}

void TCustomPlayer::SeekBy(int flags, bool wait, double seconds) {
  auto stream = CurrentStream();
  if (!stream) return;
  std::int64_t target;
  if (flags & kSeekByte) {
    const double bytesPerSecond = stream->BitRate() > 0 ? stream->BitRate() / 8.0 : 180000.0;
    target = std::max<std::int64_t>(stream->BytePosition(), 0) + std::llround(seconds * bytesPerSecond);
  } else {
    target = std::llround((stream->MasterClock() + seconds) * 1000000);
  }
  PostSeek(*stream, target, flags, wait);
}

void TCustomPlayer::PostSeek(PlayerStream& stream, std::int64_t target, int flags, bool wait) {
  if (stream.SeekPending()) return;
  shared_.Seeking = true;
  shared_.SeekPerformed.Reset();
  endAnnounced_ = false;
  stream.RequestSeek(target, flags);
  if (!wait) return;
  const auto waited = [](ManualResetEvent& event) { return [&event] { return event.Wait(kSeekSlice); }; };
  WaitPumping(dispatcher_, waited(shared_.SeekPerformed), std::chrono::milliseconds(0));
  if (stream.HasVideo()) WaitPumping(dispatcher_, waited(shared_.PictureAfterSeek), std::chrono::milliseconds(0));
}

const TBitmap24& TCustomPlayer::CurrentFrame(std::int64_t* position) {
  if (position) *position = -1;
  currentFrame_ = TBitmap24{};
  auto stream = CurrentStream();
  if (!stream) return currentFrame_;
  double pts = 0;
  AVFrame* frame = stream->ShownFrame(pts);
  if (!frame) return currentFrame_;
  if (frameConverter_ && frameConverter_->ToBitmap(frame, currentFrame_)) {
    if (position) *position = std::llround(pts * 1000000) - stream->StartTime();
  } else {
    currentFrame_ = TBitmap24{};
  }
  media::av_frame_free(&frame);
  return currentFrame_;
}

int TCustomPlayer::ShownPictures() const {
  auto stream = CurrentStream();
  return stream ? stream->ShownPictures() : 0;
}

int TCustomPlayer::DroppedPictures() const {
  auto stream = CurrentStream();
  return stream ? stream->DroppedPictures() : 0;
}

double TCustomPlayer::AudioVideoOffset() const {
  auto stream = CurrentStream();
  if (!stream || !stream->HasVideo() || !stream->HasAudio()) return NAN;
  return stream->AudioClock() - stream->VideoClock();
}
