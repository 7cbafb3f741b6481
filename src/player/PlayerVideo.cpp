// The video thread: decodes the video packets, passes the pictures through the
// stream's filter graph, applies the frame hook and the subtitle, and queues
// them for the display.
#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

#include "media/FrameBitmap.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "picture/SubtitleBurnIn.h"
#include "player/PlayerStream.h"
#include "player/ScreenPicture.h"

namespace {
constexpr auto kWaitSlice = std::chrono::milliseconds(100);
}  // namespace

int PlayerStream::VideoThreadMain(void* data) {
  auto* stream = static_cast<PlayerStream*>(data);
  stream->VideoLoop();
  stream->videoEnded_ = true;
  return 0;
}

void PlayerStream::VideoLoop() {
  AVPacket* packet = media::av_packet_alloc();
  decodedFrame_ = media::av_frame_alloc();
  filteredFrame_ = media::av_frame_alloc();
  subtitlePacket_ = media::av_packet_alloc();
  {
    std::lock_guard lock(pictures_.Mutex());
    timing_.Reset(WallSeconds());
  }
  while (!abort_) {
    // While paused only the first pictures of a paused start and the picture
    // after a seek are decoded, so the screen shows where the stream stands.
    const bool wanted = shared_.Seeking || (options_.StartPaused && decodedFrames_ < 2);
    if (paused_ && !wanted) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (!videoQueue_.Get(packet, kWaitSlice)) continue;
    if (PacketQueue::IsFlush(packet)) {
      media::avcodec_flush_buffers(videoDecoder_);
      // Deinterlacers hold pictures from before the seek; a new graph starts clean.
      graph_.Free();
      // A check still looking starts again on the pictures after the seek.
      if (telecineCheck_) telecineCheck_ = std::make_unique<TelecineCheck>();
      timestamps_.Reset();
      std::lock_guard lock(pictures_.Mutex());
      videoAfterFlush_ = true;
      // Pictures from before the seek are not shown any more.
      while (pictures_.Count() > 0) pictures_.Pop();
      // While paused the timer starts at the pause: resuming moves it on by
      // the time paused, which brings it to the moment of the resume.
      timing_.Reset(paused_ ? pausedAt_.load() : WallSeconds());
    } else {
      DecodeVideoPacket(packet);
    }
    media::av_packet_unref(packet);
  }
  media::av_packet_free(&packet);
  media::av_frame_free(&decodedFrame_);
  media::av_frame_free(&filteredFrame_);
  media::av_packet_free(&subtitlePacket_);
  graph_.Free();
  media::sws_freeContext(displayScaler_);
  displayScaler_ = nullptr;
}

void PlayerStream::DecodeVideoPacket(AVPacket* packet) {
  const bool drain = !packet->data && packet->size == 0;
  int sent = media::avcodec_send_packet(videoDecoder_, drain ? nullptr : packet);
  AVFrame* frame = decodedFrame_;
  while (!abort_) {
    const int received = media::avcodec_receive_frame(videoDecoder_, frame);
    if (received < 0) {
      // The decoder was full: now that it gave out its pictures, send again.
      if (received == AVERROR(EAGAIN) && sent == AVERROR(EAGAIN)) {
        sent = media::avcodec_send_packet(videoDecoder_, packet);
        continue;
      }
      break;
    }
    frame->pts = timestamps_.Choose(frame->pts, frame->pkt_dts);
    bool take;
    {
      std::lock_guard lock(pictures_.Mutex());
      take = timing_.TakeFrame();
    }
    if (take) FilterAndQueue(frame, frame->pkt_pos);
    media::av_frame_unref(frame);
  }
  if (!drain) return;
  // A stream shorter than the telecine check shows what it held, and the
  // filters let go of the pictures they hold back (a deinterlacer one, the
  // inverse telecine a few).
  if (telecineCheck_) EndTelecineCheck();
  if (graph_.Built() && graph_.PushEnd() >= 0) QueueFiltered(lastPosition_);
  graph_.Free();
}

void PlayerStream::FilterAndQueue(AVFrame* frame, std::int64_t position) {
  if (!telecineCheck_) return RunUprightGraph(frame, position);
  if (telecineCheck_->Add(*frame)) EndTelecineCheck();
}

// The check's answer picks the upright steps; the pictures it held go on.
void PlayerStream::EndTelecineCheck() {
  const std::vector<FramePtr> held = telecineCheck_->Decide(upright_);
  telecineCheck_.reset();
  for (const FramePtr& picture : held) RunUprightGraph(picture.get(), picture->pkt_pos);
}

void PlayerStream::RunUprightGraph(AVFrame* frame, std::int64_t position) {
  if (!graph_.Fits(*frame)) {
    if (graph_.Built()) media::av_log(nullptr, AV_LOG_ERROR, "Picture properties changed.\n");
    const std::string error = graph_.Build(*frame, videoTimeBase_, upright_.FilterText(), videoFrameRate_);
    if (!error.empty()) {
      TMediaLogger::instance().Log(shared_.LogSender, llError, "Error opening filters: " + error);
      return;
    }
  }
  if (graph_.Push(frame) < 0) return;
  lastPosition_ = position;
  QueueFiltered(position);
}

// Queues what the graph gives out.
void PlayerStream::QueueFiltered(std::int64_t position) {
  const double timeBase = av_q2d(graph_.OutputTimeBase());
  AVFrame* filtered = filteredFrame_;
  while (!abort_ && graph_.Pull(filtered) >= 0) {
    // A picture without time stamps follows the previous one.
    const double pts = filtered->pts != AV_NOPTS_VALUE ? double(filtered->pts) * timeBase : lastQueuedPts_ + timing_.LastDelay();
    lastQueuedPts_ = pts;
    QueuePicture(filtered, pts, position);
    media::av_frame_unref(filtered);
  }
}

void PlayerStream::ApplyHook(AVFrame*& frame, double pts) {
  if (!shared_.Hook) return;
  std::lock_guard lock(shared_.HookMutex);
  if (!shared_.OnHook) return;
  if (!hookConverter_) hookConverter_ = std::make_unique<FrameBitmapConverter>();
  if (!hookConverter_->ToBitmap(frame, hookBitmap_)) {
    TMediaLogger::instance().Log(shared_.LogSender, llError, "Cannot initialize the toRGB conversion context");
    return;
  }
  try {
    shared_.OnHook(hookBitmap_, std::llround(pts * 1000000) - startTime_);
  } catch (const std::exception& error) {
    TMediaLogger::instance().Log(shared_.LogSender, llError, std::string("Error occurs OnHook: ") + error.what());
    return;
  } catch (...) {
    TMediaLogger::instance().Log(shared_.LogSender, llError, "Error occurs OnHook: unknown exception");
    return;
  }
  if (media::av_frame_make_writable(frame) < 0 || !hookConverter_->FromBitmap(hookBitmap_, frame))
    TMediaLogger::instance().Log(shared_.LogSender, llError, "Cannot initialize the fromRGB conversion context");
}

void PlayerStream::TakeSubtitles(double pts) {
  if (!subtitleReady_) return;
  if (!subtitles_) subtitles_ = std::make_unique<SubtitleBurnIn>();
  AVPacket* packet = subtitlePacket_;
  const AVRational timeBase = subtitleTimeBase_;
  // Subtitle packets come ahead of the pictures they belong to: every one
  // queued so far is decoded; each is drawn from its own start time on.
  while (subtitleQueue_.Get(packet, std::chrono::milliseconds(0))) {
    if (PacketQueue::IsFlush(packet)) {
      media::avcodec_flush_buffers(subtitleDecoder_);
      subtitles_ = std::make_unique<SubtitleBurnIn>();
    } else {
      AVSubtitle subtitle{};
      int got = 0;
      if (media::avcodec_decode_subtitle2(subtitleDecoder_, &subtitle, &got, packet) >= 0 && got) {
        const std::int64_t start = packet->pts == AV_NOPTS_VALUE ? std::llround(pts * 1000000)
                                                                 : media::av_rescale_q(packet->pts, timeBase, {1, AV_TIME_BASE});
        subtitles_->Show(subtitle, start);
      }
    }
    media::av_packet_unref(packet);
  }
}

void PlayerStream::QueuePicture(AVFrame* frame, double pts, std::int64_t position) {
  AVFrame* picture = media::av_frame_clone(frame);
  if (!picture) return;
  ApplyHook(picture, pts);
  TakeSubtitles(pts);
  if (subtitles_ && media::av_frame_make_writable(picture) >= 0) subtitles_->Draw(picture, std::llround(pts * 1000000));

  std::unique_lock lock(pictures_.Mutex());
  while (!abort_ && pictures_.Count() >= PictureQueue::kSize) pictures_.Changed().wait_for(lock, kWaitSlice);
  QueuedPicture& slot = pictures_.WriteSlot();
  if (!slot.Allocated || slot.FrameWidth != picture->width || slot.FrameHeight != picture->height ||
      slot.Generation != surfaceGeneration_) {
    slot.Allocated = false;
    slot.FrameWidth = picture->width;
    slot.FrameHeight = picture->height;
    slot.SampleAspect = picture->sample_aspect_ratio.num > 0 ? av_q2d(picture->sample_aspect_ratio) : sampleAspect_;
    lock.unlock();
    shared_.PostPlayEvent({PlayThreadEvent::kAllocate});
    lock.lock();
    while (!abort_ && !slot.Allocated) pictures_.Changed().wait_for(lock, kWaitSlice);
  }
  if (abort_) {
    media::av_frame_free(&picture);
    return;
  }
  SinkPicture& target = *slot.Picture;
  lock.unlock();
  // The slot is not shown before it is pushed, so it is filled without the lock.
  ScaleForScreen(displayScaler_, picture, target);
  // How far the picture on the screen is ahead of the sound.
  const double difference = audioOpen_ ? VideoClock() - MasterClock() : NAN;
  lock.lock();
  media::av_frame_free(&slot.Frame);
  slot.Frame = picture;
  slot.Pts = pts;
  slot.Position = position;
  slot.Target = timing_.TargetTime(pts, difference);
  pictures_.Pushed();
  if (pictures_.Count() > 1 && !refreshPending_) timing_.Backlogged();
  lock.unlock();
  // The first picture after the flush is the one the seek asked for.
  if (videoAfterFlush_) {
    videoAfterFlush_ = false;
    videoRestart_ = pts;
    if (shared_.Seeking) {
      stepPending_ = true;
      shared_.Seeking = false;
      shared_.PictureAfterSeek.Set();
    }
  }
  if (++decodedFrames_ == 2 && options_.StartPaused) {
    stepPending_ = true;
    shared_.RaiseState(psPause);
  }
}
