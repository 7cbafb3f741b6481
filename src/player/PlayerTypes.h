#pragma once

#include <cstdint>
#include <functional>

// The states a player reports; the ordinals are part of the contract.
enum TPlayState { psPlay, psPause, psResume, psStep, psStop, psEnd };

// Driver choices, mapped to SDL2's driver names on this platform.
enum class TAudioDriver { adDefault, adDummy, adPulseAudio, adAlsa };
enum class TVideoDriver { vdDefault, vdDummy };

// Names written into SDL_AUDIODRIVER / SDL_VIDEODRIVER ("" lets SDL choose).
const char* AudioDriverName(TAudioDriver driver);
const char* VideoDriverName(TVideoDriver driver);

// What the working threads hand to the event thread.
struct PlayerEvent {
  enum Kinds { kPosition = 1, kState = 2, kQuit = 3 };
  int Kind = 0;
  int State = 0;         // a TPlayState, for kState
  std::int64_t PTS = 0;  // microseconds, for kPosition
};

// Seek flag bits, as the libraries' seek flags.
constexpr int kSeekBackward = 1, kSeekByte = 2, kSeekAny = 4, kSeekFrame = 8;
