#pragma once

#include <string>

#include "frontend/FileJob.h"
#include "media/MediaApi.h"
#include "support/TempHome.h"

// What a converted file holds, read straight from the libraries.
struct Described {
  std::string demuxer, brand;
  std::string videoCodec, audioCodec, subtitleCodec;  // the first of each kind; empty: none
  std::string videoProfile;            // the libraries' name of the video profile
  std::string videoTag;                // the container's four-character code, if any
  int width = 0, height = 0;
  AVRational pixelAspect{0, 1};
  AVRational frameRate{0, 1};  // the video stream's average rate
  int audioStreams = 0;
};
Described Describe(const std::string& path);

// A user's conversion: settings of a fresh home (so the format's own defaults
// and automatic deinterlacing unless the test stores choices first), the
// installed catalogue, the job's fitting mode, then Start.
class Conversion {
 public:
  explicit Conversion(int code) : code_(code) {}

  // The destination, or an empty text with the failure recorded.
  std::string Run(const std::string& source, const TFileJob& job);
  const std::string& error() const { return error_; }
  const TempHome& home() const { return home_; }

 private:
  std::string fail(const std::string& message);

  TempHome home_;
  int code_;
  std::string error_;
};
