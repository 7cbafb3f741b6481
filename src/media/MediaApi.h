#pragma once

// The media libraries' declarations and the entry-point table through which all
// code calls them. The program links none of these libraries: the loader fills
// the table at run time (MediaLoader.h). An entry is nullptr while its library
// is not bound.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
#define SDL_MAIN_HANDLED
#include <SDL.h>
}

namespace media {
#define MEDIA_FN(library, function) inline decltype(&::function) function = nullptr;
#include "media/MediaEntryPoints.inc"
#undef MEDIA_FN
}  // namespace media
