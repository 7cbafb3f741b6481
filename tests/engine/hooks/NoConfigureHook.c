/* Test module without a Configure entry point: usable only without arguments. */
#include <oxbel/vhook.h>

void Process(void *ctx, OxbelHookPicture *picture, int pix_fmt, int width, int height, int64_t pts) {
  (void)ctx;
  (void)picture;
  (void)pix_fmt;
  (void)width;
  (void)height;
  (void)pts;
}
