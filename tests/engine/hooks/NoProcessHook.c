/* Test module without a Process entry point. */
#include <oxbel/vhook.h>
#include <stddef.h>

int Configure(void **ctxp, int argc, char *argv[]) {
  (void)argc;
  (void)argv;
  *ctxp = NULL;
  return 0;
}
