#include "player/PlayerStream.h"

#include <chrono>
#include <thread>

#include "dvd/DvdInput.h"
#include "media/Dispatcher.h"
#include "media/FrameBitmap.h"
#include "picture/SubtitleBurnIn.h"

namespace {
// How long closing waits for the threads before leaving them to a thread of their own.
constexpr auto kCloseWait = std::chrono::seconds(3);
constexpr auto kOpenSlice = std::chrono::milliseconds(10);
}  // namespace

PlayerStream::PlayerStream(PlayerShared& shared, const std::string& name, const Options& options)
    : shared_(shared), name_(name), options_(options), paused_(options.StartPaused), pausedAt_(WallSeconds()) {}

PlayerStream::~PlayerStream() {
  pictures_.Clear();
  media::av_frame_free(&shownFrame_);
  media::sws_freeContext(redisplayScaler_);
  media::av_channel_layout_uninit(&resamplerLayout_);
}

bool PlayerStream::Open() {
  readEnded_ = false;
  readThread_ = media::SDL_CreateThread(&ReadThreadMain, "player read", this);
  if (!readThread_) {
    readEnded_ = true;
    shared_.SetLastError("SDL_CreateThread() failed.");
    return false;
  }
  WaitPumping(shared_.UiDispatcher, [this] { return openResult_ != 0; }, kOpenSlice);
  if (openResult_ > 0) return true;
  // The read thread cleans up after a failed open by itself.
  WaitPumping(shared_.UiDispatcher, [this] { return readEnded_.load(); }, kOpenSlice);
  media::SDL_WaitThread(readThread_, nullptr);
  readThread_ = nullptr;
  return false;
}

void PlayerStream::StartRefresh() {
  refreshEnded_ = false;
  refreshThread_ = media::SDL_CreateThread(&RefreshThreadMain, "player refresh", this);
  if (!refreshThread_) refreshEnded_ = true;
}

void PlayerStream::Close(std::shared_ptr<PlayerStream> stream) {
  if (!stream) return;
  stream->abort_ = true;
  stream->pictures_.Changed().notify_all();
  const auto ended = [&stream] { return stream->readEnded_ && stream->videoEnded_ && stream->refreshEnded_; };
  const auto deadline = std::chrono::steady_clock::now() + kCloseWait;
  WaitPumping(
      stream->shared_.UiDispatcher, [&] { return ended() || std::chrono::steady_clock::now() >= deadline; },
      std::chrono::milliseconds(5));
  const auto finish = [](std::shared_ptr<PlayerStream> closing) {
    for (SDL_Thread* thread : {closing->videoThread_, closing->refreshThread_, closing->readThread_})
      if (thread) media::SDL_WaitThread(thread, nullptr);
  };
  if (ended()) {
    finish(std::move(stream));
  } else {
    // A thread is stuck (a read blocked in the system): let it end by itself.
    std::thread(finish, std::move(stream)).detach();
  }
}

void PlayerStream::TogglePause() {
  const double now = WallSeconds();
  if (paused_) {
    const double pausedFor = now - pausedAt_;
    {
      std::lock_guard lock(pictures_.Mutex());
      timing_.Shift(pausedFor);
      for (int i = 0; i < pictures_.Count(); ++i) pictures_.At(i).Target += pausedFor;
    }
    double pts;
    {
      std::lock_guard lock(shownMutex_);
      pts = shownFrame_ ? shownPts_ : startClock_.load();
    }
    videoClock_.Set(pts, now);
  } else {
    pausedAt_ = now;
  }
  paused_ = !paused_;
  audioClock_.SetPaused(paused_, now);
}

bool PlayerStream::RequestSeek(std::int64_t target, int flags) {
  std::lock_guard lock(seekMutex_);
  if (seekRequested_) return false;
  seekTarget_ = target;
  seekFlags_ = flags & 0xF;
  seekRequested_ = true;
  return true;
}

bool PlayerStream::SeekPending() {
  std::lock_guard lock(seekMutex_);
  return seekRequested_;
}

double PlayerStream::AudioClock() { return audioClock_.Get(WallSeconds()); }

double PlayerStream::VideoClock() {
  if (paused_) {
    std::lock_guard lock(shownMutex_);
    return shownFrame_ ? shownPts_ : startClock_.load();
  }
  const double clock = videoClock_.Get(WallSeconds());
  return std::isnan(clock) ? startClock_.load() : clock;
}

double PlayerStream::MasterClock() {
  if (audioOpen_) {
    const double clock = AudioClock();
    if (!std::isnan(clock)) return clock;
  }
  return VideoClock();
}

int PlayerStream::BitRate() const { return input_ && input_->bit_rate > 0 ? int(input_->bit_rate) : 0; }
