/* What the inverting test module records; the tests read it through dlsym. */
#ifndef INVERT_HOOK_STATE_H
#define INVERT_HOOK_STATE_H

#include <stdint.h>

typedef struct InvertHookState {
  int configureArgc;
  char firstWord[512];
  int argvTerminated;
  int format, width, height;
  int64_t pts;
  char processTrace[32]; /* one marker per Process call */
  char releaseTrace[32]; /* one marker per Release call */
} InvertHookState;

#endif
