/* Test module: inverts the luma plane and records its calls. Configure takes
   a one-letter marker as its argument to tell instances apart. */
#include <oxbel/vhook.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "InvertHookState.h"

InvertHookState HookState;
int HookLoadCount;

__attribute__((constructor)) static void CountLoad(void) { ++HookLoadCount; }

static void Append(char *trace, size_t size, char marker) {
  size_t length = strlen(trace);
  if (length + 1 < size) {
    trace[length] = marker;
    trace[length + 1] = 0;
  }
}

int Configure(void **ctxp, int argc, char *argv[]) {
  char *marker = malloc(1);
  if (!marker) return 1;
  *marker = argc > 1 ? argv[1][0] : '-';
  HookState.configureArgc = argc;
  strncpy(HookState.firstWord, argv[0], sizeof HookState.firstWord - 1);
  HookState.argvTerminated = argv[argc] == NULL;
  *ctxp = marker;
  return 0;
}

void Process(void *ctx, OxbelHookPicture *picture, int pix_fmt, int width, int height, int64_t pts) {
  for (int y = 0; y < height; ++y) {
    uint8_t *row = picture->data[0] + (ptrdiff_t)y * picture->linesize[0];
    for (int x = 0; x < width; ++x) row[x] = (uint8_t)(255 - row[x]);
  }
  HookState.format = pix_fmt;
  HookState.width = width;
  HookState.height = height;
  HookState.pts = pts;
  Append(HookState.processTrace, sizeof HookState.processTrace, *(char *)ctx);
}

void Release(void *ctx) {
  Append(HookState.releaseTrace, sizeof HookState.releaseTrace, *(char *)ctx);
  free(ctx);
}
