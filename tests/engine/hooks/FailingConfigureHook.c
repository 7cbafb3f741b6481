/* Test module whose Configure refuses; its Release must then never run. */
#include <oxbel/vhook.h>

int FailingReleaseCount;

int Configure(void **ctxp, int argc, char *argv[]) {
  (void)ctxp;
  (void)argc;
  (void)argv;
  return 1;
}

void Process(void *ctx, OxbelHookPicture *picture, int pix_fmt, int width, int height, int64_t pts) {
  (void)ctx;
  (void)picture;
  (void)pix_fmt;
  (void)width;
  (void)height;
  (void)pts;
}

void Release(void *ctx) {
  (void)ctx;
  ++FailingReleaseCount;
}
