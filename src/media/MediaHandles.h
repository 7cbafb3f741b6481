#pragma once

#include <memory>

#include "media/MediaApi.h"

// Owning handles for the library's packets and frames.
struct PacketFree {
  void operator()(AVPacket* packet) const { media::av_packet_free(&packet); }
};
struct FrameFree {
  void operator()(AVFrame* frame) const { media::av_frame_free(&frame); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
