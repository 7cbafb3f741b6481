#include "dvd/DvdPlugin.h"

std::string DvdStreamTypeName(int type) {
  static const char* const kNames[] = {"MPEG-1", "MPEG-2", "MPA", "AC3", "DTS", "LPCM", "SUB"};
  return type >= 1 && type <= 7 ? kNames[type - 1] : "Unknown";
}
