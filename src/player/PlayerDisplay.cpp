// The display side of a stream, run on the component's play thread: pacing
// the pictures of the queue against their target times, dropping late ones,
// placing them on the surface and handing them to the sink.
#include <chrono>
#include <thread>

#include "player/AudioVisualisation.h"
#include "player/PicturePlacement.h"
#include "player/PlayerStream.h"
#include "player/ScreenPicture.h"

namespace {
constexpr double kLateDropSeconds = 0.5;
constexpr std::size_t kSparePictures = 4;
}  // namespace

int PlayerStream::RefreshThreadMain(void* data) {
  auto* stream = static_cast<PlayerStream*>(data);
  while (!stream->abort_) {
    if (!stream->refreshPending_.exchange(true)) stream->shared_.PostPlayEvent({PlayThreadEvent::kRefresh});
    std::this_thread::sleep_for(std::chrono::milliseconds(stream->visualise_ ? 20 : 5));
  }
  stream->refreshEnded_ = true;
  return 0;
}

std::shared_ptr<SinkPicture> PlayerStream::SparePicture(int width, int height) {
  for (auto it = spare_.begin(); it != spare_.end(); ++it) {
    if (it->use_count() == 1 && (*it)->Width == width && (*it)->Height == height) {
      auto picture = std::move(*it);
      spare_.erase(it);
      return picture;
    }
  }
  return NewScreenPicture(width, height);
}

void PlayerStream::OpenSurface() {
  int width, height;
  SurfaceSize(shared_.ScreenWidth, shared_.ScreenHeight, frameWidth_, frameHeight_, width, height);
  if (width == surfaceWidth_ && height == surfaceHeight_) return;
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  ++surfaceGeneration_;
}

SinkPlacement PlayerStream::PlacementFor(int frameWidth, int frameHeight, double sampleAspect) const {
  return PlacePicture(surfaceWidth_, surfaceHeight_,
                      DisplayAspect(shared_.AspectRatio, frameWidth, frameHeight, sampleAspect));
}

void PlayerStream::AllocatePicture() {
  OpenSurface();
  std::lock_guard lock(pictures_.Mutex());
  if (pictures_.Count() >= PictureQueue::kSize) return;
  QueuedPicture& slot = pictures_.WriteSlot();
  if (slot.Allocated) return;
  slot.Placement = PlacementFor(slot.FrameWidth, slot.FrameHeight, slot.SampleAspect);
  slot.Picture = SparePicture(std::max(slot.Placement.Width, 2), std::max(slot.Placement.Height, 2));
  slot.Generation = surfaceGeneration_;
  slot.Allocated = true;
  pictures_.Changed().notify_all();
}

void PlayerStream::Refresh(bool advance) {
  if (videoIndex_ < 0) {
    if (audioOpen_) {
      if (visualise_) DrawVisualisation();
      shared_.ReportPosition();
    }
    return;
  }
  if (!advance) {
    Redisplay();
    shared_.ReportPosition();
    return;
  }
  const bool stepping = paused_ && stepPending_;
  if (paused_ && !stepping) {
    shared_.ReportPosition();
    return;
  }
  std::unique_lock lock(pictures_.Mutex());
  for (;;) {
    if (pictures_.Count() == 0) {
      lock.unlock();
      shared_.ReportPosition();
      return;
    }
    const double now = WallSeconds();
    QueuedPicture& head = pictures_.Head();
    if (!stepping && now < head.Target) return;
    const double nextTarget = pictures_.Count() > 1 ? pictures_.At(1).Target : head.Target + timing_.LastDelay();
    if (!stepping && now > nextTarget && !captureDevice_) {
      timing_.Late();
      if (pictures_.Count() > 1 || now > nextTarget + kLateDropSeconds) {
        ++droppedPictures_;
        pictures_.Pop();
        if (pictures_.Count() == 0) return;
        continue;
      }
    }
    AVFrame* frame = head.Frame;
    head.Frame = nullptr;
    const double pts = head.Pts;
    auto picture = head.Picture;
    const SinkPlacement placement = head.Placement;
    // The slot gets a picture the sink no longer shows, or is allocated anew.
    head.Picture = SparePicture(picture->Width, picture->Height);
    pictures_.Pop();
    lock.unlock();
    if (stepping) stepPending_ = false;
    Display(frame, pts, std::move(picture), placement);
    shared_.ReportPosition();
    return;
  }
}

void PlayerStream::Display(AVFrame* frame, double pts, std::shared_ptr<SinkPicture> picture, const SinkPlacement& placement) {
  videoClock_.Set(pts, WallSeconds());
  if (shared_.Sink) shared_.Sink->Present(picture, placement);
  ++shownPictures_;
  std::lock_guard lock(shownMutex_);
  media::av_frame_free(&shownFrame_);
  shownFrame_ = frame;
  shownPts_ = pts;
  ReplaceShownPicture(std::move(picture));
  shownPlacement_ = placement;
}

// Under shownMutex_: the picture on the screen from now on; the one before is
// kept for reuse once the sink lets go of it.
void PlayerStream::ReplaceShownPicture(std::shared_ptr<SinkPicture> picture) {
  if (shownPicture_ && spare_.size() < kSparePictures) spare_.push_back(std::move(shownPicture_));
  shownPicture_ = std::move(picture);
}

// Shows the picture on the screen again, converted anew when the surface has
// changed since it was shown.
void PlayerStream::Redisplay() {
  OpenSurface();
  std::lock_guard lock(shownMutex_);
  if (!shownFrame_ || !shownPicture_) return;
  const double aspect = shownFrame_->sample_aspect_ratio.num > 0 ? av_q2d(shownFrame_->sample_aspect_ratio) : sampleAspect_;
  const SinkPlacement placement = PlacementFor(shownFrame_->width, shownFrame_->height, aspect);
  if (placement.Width != shownPicture_->Width || placement.Height != shownPicture_->Height) {
    auto picture = NewScreenPicture(std::max(placement.Width, 2), std::max(placement.Height, 2));
    if (!ScaleForScreen(redisplayScaler_, shownFrame_, *picture)) return;
    shownPicture_ = std::move(picture);
  }
  shownPlacement_ = placement;
  if (shared_.Sink) shared_.Sink->Present(shownPicture_, shownPlacement_);
}

void PlayerStream::Resize(int width, int height) {
  shared_.ScreenWidth = width;
  shared_.ScreenHeight = height;
  OpenSurface();
  if (paused_) Redisplay();
}

void PlayerStream::ReopenSurface() {
  ++surfaceGeneration_;
  OpenSurface();
  Redisplay();
}

void PlayerStream::DrawVisualisation() {
  OpenSurface();
  auto picture = SparePicture(surfaceWidth_, surfaceHeight_);
  {
    std::lock_guard lock(visualMutex_);
    DrawAudioVisualisation(visualSamples_, *picture);
  }
  SinkPlacement placement;
  placement.Width = placement.SurfaceWidth = surfaceWidth_;
  placement.Height = placement.SurfaceHeight = surfaceHeight_;
  if (shared_.Sink) shared_.Sink->Present(picture, placement);
  std::lock_guard lock(shownMutex_);
  ReplaceShownPicture(std::move(picture));
}

AVFrame* PlayerStream::ShownFrame(double& pts) {
  std::lock_guard lock(shownMutex_);
  if (!shownFrame_) return nullptr;
  pts = shownPts_;
  return media::av_frame_clone(shownFrame_);
}
