#include "player/PlayerTypes.h"

const char* AudioDriverName(TAudioDriver driver) {
  switch (driver) {
    case TAudioDriver::adDummy: return "dummy";
    case TAudioDriver::adPulseAudio: return "pulseaudio";
    case TAudioDriver::adAlsa: return "alsa";
    default: return "";
  }
}

const char* VideoDriverName(TVideoDriver driver) { return driver == TVideoDriver::vdDummy ? "dummy" : ""; }
