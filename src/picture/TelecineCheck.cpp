#include "picture/TelecineCheck.h"

#include <cmath>
#include <cstring>
#include <new>

bool TelecineCheck::Needed(const UprightSteps& steps, AVRational frameRate) {
  if (steps.deinterlace == Deinterlacing::Never || frameRate.num <= 0 || frameRate.den <= 0) return false;
  const double rate = av_q2d(frameRate);
  return std::fabs(rate - 30000.0 / 1001) < 0.01 || std::fabs(rate - 30) < 0.01;
}

bool TelecineCheck::Add(const AVFrame& picture) {
  if (!failed_ && !detector_.Fits(picture)) {
    // A failed detector (a picture the filter cannot take) answers "video".
    failed_ = !detector_.Build(picture, {1, AV_TIME_BASE}, "idet").empty();
  }
  FramePtr copy(media::av_frame_clone(&picture));
  if (!copy) throw std::bad_alloc();
  if (!failed_ && detector_.Push(copy.get()) >= 0) Count();
  held_.push_back(std::move(copy));
  return held_.size() >= size_t(kPictures);
}

std::vector<FramePtr> TelecineCheck::Decide(UprightSteps& steps) {
  steps.inverseTelecine = Film();
  return std::move(held_);
}

bool TelecineCheck::Film() {
  if (!failed_ && detector_.Built() && detector_.PushEnd() >= 0) Count();
  detector_.Free();
  // Film repeats a field in two of five pictures; noise and scene cuts may
  // hide a few, and video repeats none.
  return looked_ >= 10 && repeated_ * 4 >= looked_ && repeated_ * 20 <= looked_ * 11;
}

void TelecineCheck::Count() {
  FramePtr marked(media::av_frame_alloc());
  if (!marked) throw std::bad_alloc();
  while (detector_.Pull(marked.get()) >= 0) {
    const AVDictionaryEntry* entry = media::av_dict_get(marked->metadata, "lavfi.idet.repeated.current_frame", nullptr, 0);
    ++looked_;
    if (entry && std::strcmp(entry->value, "neither") != 0) ++repeated_;
    media::av_frame_unref(marked.get());
  }
}
