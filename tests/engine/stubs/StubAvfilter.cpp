// A stand-in for libavfilter used by the loader tests: it exports every avfilter
// entry point the program binds as an empty function. Built twice: without
// avfilter_version (one entry point missing), and with a version function that
// reports STUB_MAJOR.
#define avfilter_version stub_generic_avfilter_version

#define STUB_DEFINE(function) extern "C" void function() {}
#define STUB_avutil(function)
#define STUB_swresample(function)
#define STUB_swscale(function)
#define STUB_avcodec(function)
#define STUB_avformat(function)
#define STUB_avfilter(function) STUB_DEFINE(function)
#define STUB_avdevice(function)
#define STUB_SDL2(function)
#define MEDIA_FN(library, function) STUB_##library(function)
#include "media/MediaEntryPoints.inc"
#undef MEDIA_FN
#undef avfilter_version

#ifdef STUB_MAJOR
extern "C" unsigned avfilter_version() { return unsigned(STUB_MAJOR) << 16; }
#endif
