#pragma once

#include <mutex>

#include "media/MediaApi.h"
#include "media/MediaLoader.h"

// Opens a decoder or an encoder under the library lock; the library's result.
inline int OpenCodecLocked(AVCodecContext* codec, const AVCodec* with) {
  std::lock_guard lock(MediaLibraryLock());
  return media::avcodec_open2(codec, with, nullptr);
}
