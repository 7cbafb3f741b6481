#pragma once

#include <string>

#include "media/MediaApi.h"

// One filter graph of the picture chain: pictures of one size and pixel
// format go in through a buffer source, through the filters of a text, and
// come out of a buffer sink. The conversion, the player and the border
// detection run their chains through it. Owned by one thread at a time.
class PictureFilterGraph {
 public:
  PictureFilterGraph() = default;
  ~PictureFilterGraph();
  PictureFilterGraph(const PictureFilterGraph&) = delete;
  PictureFilterGraph& operator=(const PictureFilterGraph&) = delete;

  // Builds the graph for pictures like `picture` with time stamps in
  // `timeBase`; an empty text passes pictures through. Filters that change
  // the frame rate need the stream's `frameRate`. Returns an empty text, or
  // what failed (naming the filters).
  std::string Build(const AVFrame& picture, AVRational timeBase, const std::string& filters,
                    AVRational frameRate = {0, 1});
  // The same for pictures of that size, pixel format and pixel aspect.
  std::string Build(int width, int height, int format, AVRational pixelAspect, AVRational timeBase,
                    const std::string& filters, AVRational frameRate = {0, 1});
  void Free();

  bool Built() const { return graph_ != nullptr; }
  // The graph was built for pictures of this size and pixel format.
  bool Fits(const AVFrame& picture) const;
  // Hands a picture in (a new reference; the caller keeps its own).
  int Push(AVFrame* picture);
  // Marks the end of the pictures, so that filters holding some back let go.
  int PushEnd();
  // The next filtered picture into `out` (>= 0), or AVERROR(EAGAIN) / AVERROR_EOF.
  int Pull(AVFrame* out);
  int OutputWidth() const;
  int OutputHeight() const;
  AVRational OutputPixelAspect() const;
  // The pulled pictures' time base: a deinterlacer halves the one given.
  AVRational OutputTimeBase() const;

 private:
  AVFilterGraph* graph_ = nullptr;
  AVFilterContext* source_ = nullptr;
  AVFilterContext* sink_ = nullptr;
  int width_ = 0, height_ = 0, format_ = -1;
};
