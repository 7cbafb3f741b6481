#include "player/PictureQueue.h"

void PictureQueue::Pop() {
  if (count_ == 0) return;
  media::av_frame_free(&entries_[read_].Frame);
  read_ = (read_ + 1) % kSize;
  --count_;
  changed_.notify_all();
}

void PictureQueue::Clear() {
  while (count_ > 0) Pop();
  for (QueuedPicture& entry : entries_) media::av_frame_free(&entry.Frame);
}
