// The component's two threads: the play thread handles the display events of
// the open stream (and its end), the event thread hands positions and states
// to the UI thread.
#include <cmath>
#include <exception>

#include "media/Dispatcher.h"
#include "media/MediaLogger.h"
#include "player/MediaPlayer.h"
#include "player/PlayerStream.h"

namespace {
constexpr std::int64_t kPositionStep = 10000;  // microseconds between reported positions
}

void TCustomPlayer::PostPlayEvent(const PlayThreadEvent& event) {
  std::lock_guard lock(playQueueMutex_);
  playQueue_.push_back(event);
  playQueueChanged_.notify_one();
}

void TCustomPlayer::PlayThreadMain() {
  RaiseState(psPlay);
  try {
    for (;;) {
      PlayThreadEvent event;
      {
        std::unique_lock lock(playQueueMutex_);
        playQueueChanged_.wait(lock, [this] { return !playQueue_.empty(); });
        event = playQueue_.front();
        playQueue_.pop_front();
      }
      std::lock_guard lock(playerMutex_);
      if (!HandlePlayEvent(event)) break;
    }
  } catch (const std::exception& error) {
    TMediaLogger::instance().Log(this, llFatal, std::string("PlayThread Exception: ") + error.what());
    CloseStream();
  }
  RaiseState(psStop);
  playThreadEnded_.Set();
}

// False when the loop is to end.
bool TCustomPlayer::HandlePlayEvent(const PlayThreadEvent& event) {
  auto stream = CurrentStream();
  if (!stream) return false;
  switch (event.Kind) {
    case PlayThreadEvent::kQuit:
      CloseStream();
      ShutdownSdl();
      return false;
    case PlayThreadEvent::kResize:
      stream->Resize(event.Width, event.Height);
      break;
    case PlayThreadEvent::kAllocate:
      stream->AllocatePicture();
      break;
    case PlayThreadEvent::kRefresh:
      stream->Refresh(true);
      stream->RefreshDone();
      break;
    case PlayThreadEvent::kReopen:
      stream->ReopenSurface();
      break;
  }
  return true;
}

// Called by each refresh on the play thread.
void TCustomPlayer::ReportPosition() {
  auto stream = CurrentStream();
  if (!stream || stream->ImageSequence()) return;
  const double clock = stream->HasVideo() ? stream->VideoClock() : stream->AudioClock();
  if (std::isnan(clock)) return;
  std::int64_t position = std::llround(clock * 1000000) - stream->StartTime();
  if (stream->Duration() > 0 && position >= stream->Duration()) position = stream->Duration();
  position_ = position;
  if (!reported_ || std::llabs(position - lastReported_) > kPositionStep) {
    reported_ = true;
    lastReported_ = position;
    if (OnPosition) events_.Add({PlayerEvent::kPosition, 0, position});
  }
  if (stream->AtEnd() && !stream->CaptureDevice() && !endAnnounced_.exchange(true)) RaiseState(psEnd);
  const std::int64_t rangeStart = PlayRangeStart, rangeEnd = PlayRangeEnd;
  if (rangeEnd != kNoTime) {
    const std::int64_t start = rangeStart == kNoTime ? 0 : rangeStart;
    if (position >= start + rangeEnd && !stream->SeekPending()) {
      if (!PlayRangeLoop)
        PostPlayEvent({PlayThreadEvent::kQuit});
      else if (rangeStart == kNoTime)
        PostSeek(*stream, stream->StartTime(), kSeekAny, false);
      else
        PostSeek(*stream, stream->StartTime() + rangeStart, 0, false);
    }
  }
}

void TCustomPlayer::RaiseState(TPlayState state) {
  state_ = state;
  if (OnState)
    events_.Add({PlayerEvent::kState, int(state), 0});
  else if (state == psStop)
    events_.Add({PlayerEvent::kQuit, 0, 0});
}

void TCustomPlayer::Deliver(const std::function<void()>& call) {
  try {
    if (TriggerEventInMainThread && dispatcher_ && !dispatcher_->onUiThread())
      dispatcher_->call(call);
    else
      call();
  } catch (const std::exception& error) {
    TMediaLogger::instance().Log(this, llError, error.what());
  }
}

void TCustomPlayer::EventThreadMain() {
  for (;;) {
    const auto event = events_.Take();
    if (!event) {
      events_.WaitForEvent(std::chrono::milliseconds(100));
      continue;
    }
    if (event->Kind == PlayerEvent::kQuit) break;
    if (event->Kind == PlayerEvent::kPosition && OnPosition) {
      Deliver([this, pts = event->PTS] { OnPosition(this, pts); });
    } else if (event->Kind == PlayerEvent::kState) {
      const auto state = TPlayState(event->State);
      if (OnState) Deliver([this, state] { OnState(this, state); });
      if (state == psStop) break;
    }
  }
  eventThreadEnded_ = true;
}
