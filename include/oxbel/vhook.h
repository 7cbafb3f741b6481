/*
 * Frame hook modules ("vhook") for Oxbel DVD to 3GP Converter.
 *
 * A module is a shared library that sees every decoded video frame of a
 * conversion before it is scaled and encoded, and may change the picture in
 * place. The converter loads it by its path with dlopen() once per process and
 * looks up these entry points by name:
 *
 *   Process    required: called for every frame, in the order the modules
 *              were added.
 *   Configure  required when the module is given arguments, optional
 *              otherwise: called once per use of the module, like main(), with
 *              argv[0] the module's path and then its arguments (argv[argc] is
 *              NULL). It stores its state in *ctxp; a non-zero result refuses
 *              the module. The argument strings stay valid until Release.
 *   Release    optional: called once with the context when the conversion ends.
 *
 * The same module may be used several times, also by conversions running in
 * parallel threads; keep per-use state in the context.
 *
 * Write the entry points in C (or C++ with this header included, which gives
 * them C linkage) and build the module as position-independent code:
 *
 *   gcc -shared -fPIC -I<prefix>/include -o myhook.so myhook.c
 *
 * Libraries the module needs are best placed beside it and found through its
 * RUNPATH: link with -Wl,-rpath,'$ORIGIN'.
 */
#ifndef OXBEL_VHOOK_H
#define OXBEL_VHOOK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The frame's planes: plane pointers and bytes per row (as AVFrame has them). */
typedef struct OxbelHookPicture {
  uint8_t *data[4];
  int linesize[4];
} OxbelHookPicture;

/* pix_fmt is an AVPixelFormat value; pts is the frame's time in microseconds. */
typedef int (*OxbelHookConfigureFn)(void **ctxp, int argc, char *argv[]);
typedef void (*OxbelHookProcessFn)(void *ctx, OxbelHookPicture *picture, int pix_fmt, int width, int height,
                                   int64_t pts);
typedef void (*OxbelHookReleaseFn)(void *ctx);

int Configure(void **ctxp, int argc, char *argv[]);
void Process(void *ctx, OxbelHookPicture *picture, int pix_fmt, int width, int height, int64_t pts);
void Release(void *ctx);

#ifdef __cplusplus
}
#endif

#endif /* OXBEL_VHOOK_H */
