#pragma once

#include <vector>

#include "media/MediaApi.h"
#include "media/MediaHandles.h"
#include "picture/FilterGraph.h"
#include "picture/UprightSteps.h"

// Tells film woven into NTSC fields (hard telecine, 3:2 pulldown) from true
// interlaced video by the first pictures of a stream: in film two of every
// five pictures repeat a field of the picture before, in video none does.
// The pictures looked at are held and handed back, so nothing is lost.
class TelecineCheck {
 public:
  // Pictures looked at before the answer; about 1.3 s of NTSC.
  static constexpr int kPictures = 40;

  // Whether a stream with these upright steps and this frame rate may be
  // telecined film: an NTSC rate (29.97 or 30) that is being deinterlaced.
  static bool Needed(const UprightSteps& steps, AVRational frameRate);

  // Holds a copy of the picture; true once enough are held to decide.
  bool Add(const AVFrame& picture);
  // Decides on the pictures held so far (also when the stream ended early):
  // film sets the steps' inverse telecine. Returns the held pictures in
  // order, for the steps to take; the check is empty afterwards.
  std::vector<FramePtr> Decide(UprightSteps& steps);

 private:
  // Whether the pictures looked at are film.
  bool Film();
  // Counts the pictures idet gave back and those with a repeated field.
  void Count();

  PictureFilterGraph detector_;  // idet, marking each picture's repeated field
  std::vector<FramePtr> held_;
  int looked_ = 0, repeated_ = 0;
  bool failed_ = false;
};
