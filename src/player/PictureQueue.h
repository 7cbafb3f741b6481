#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "media/MediaApi.h"
#include "player/VideoSink.h"

// One decoded picture waiting for the screen.
struct QueuedPicture {
  double Pts = 0;             // seconds
  double Target = 0;          // wall-clock seconds at which it is due
  std::int64_t Position = -1; // byte position in the source
  AVFrame* Frame = nullptr;   // the decoded (and hooked) picture, owned
  std::shared_ptr<SinkPicture> Picture;  // converted for the screen
  SinkPlacement Placement;
  bool Allocated = false;     // Picture has the size of Placement
  // What the play thread allocates for: the frame's size and sample aspect,
  // and the surface generation the placement was made for.
  int FrameWidth = 0, FrameHeight = 0;
  double SampleAspect = 0;
  int Generation = -1;
};

// The two pictures between the video thread and the display, with the lock
// and the condition both sides wait on.
class PictureQueue {
 public:
  static constexpr int kSize = 2;

  PictureQueue() = default;
  ~PictureQueue() { Clear(); }
  PictureQueue(const PictureQueue&) = delete;
  PictureQueue& operator=(const PictureQueue&) = delete;

  std::mutex& Mutex() { return mutex_; }
  std::condition_variable& Changed() { return changed_; }

  // Under Mutex():
  int Count() const { return count_; }
  QueuedPicture& Head() { return entries_[read_]; }
  QueuedPicture& At(int offset) { return entries_[(read_ + offset) % kSize]; }
  QueuedPicture& WriteSlot() { return entries_[(read_ + count_) % kSize]; }
  void Pushed() { ++count_; }
  // Releases the head's frame and moves on (the caller keeps what it took out).
  void Pop();
  void Clear();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  QueuedPicture entries_[kSize];  // guarded by mutex_
  int read_ = 0, count_ = 0;      // guarded by mutex_
};
