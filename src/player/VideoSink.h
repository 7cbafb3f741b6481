#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A picture ready for the screen: 32-bit pixels, bytes blue, green, red, 255
// (QImage::Format_RGB32 on this platform), rows top-down, at the size it is
// shown at.
struct SinkPicture {
  int Width = 0, Height = 0;
  int Stride = 0;  // bytes per row
  std::vector<std::uint8_t> Pixels;
};

// Where the picture goes inside the surface; the rest of the surface is black.
struct SinkPlacement {
  int X = 0, Y = 0, Width = 0, Height = 0;
  int SurfaceWidth = 0, SurfaceHeight = 0;
};

// The window a player draws into. The player converts pictures on its own
// threads; the sink only keeps the latest one and paints it when its window
// asks, so the user-interface thread never decodes or scales.
class VideoSink {
 public:
  virtual ~VideoSink() = default;
  // Any thread: the drawing area's size in pixels.
  virtual void ClientSize(int& width, int& height) const = 0;
  // Play thread: show this picture from now on (the sink keeps the reference).
  virtual void Present(std::shared_ptr<const SinkPicture> picture, const SinkPlacement& placement) = 0;
  // Play thread: nothing to show any more (the stream closed).
  virtual void Clear() = 0;
  // UI thread: the player's listener for size changes of the drawing area,
  // called on the UI thread with the new size; an empty function detaches.
  virtual void SetResizeListener(std::function<void(int width, int height)> listener) = 0;
  // A number naming the window in messages (0 when it has none).
  virtual std::uintptr_t Handle() const = 0;
  // The display back end, for the "using video driver" log line.
  virtual std::string DriverName() const = 0;
};
