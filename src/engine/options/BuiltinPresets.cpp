// The built-in libx264 presets, written with the options libx264 has today.
// What each must produce: the speed presets select libx264's preset of that
// speed; "_firstpass" adds the fast first pass (used when the run encodes pass
// 1); "lossless_" adds qp=0; baseline, ipod320, ipod640 and ipod give profile
// Baseline, main, psp, ps3 and mp4 profile Main, each with the level it names,
// because the devices these outputs are made for play nothing higher.
#include <strings.h>

#include <algorithm>

#include "engine/options/Presets.h"

namespace {

#define SPEED(speed) \
  {"libx264-" speed, "preset=" speed}, {"libx264-" speed "_firstpass", "preset=" speed "\nfastfirstpass=1"}

// The options shared by psp, ps3 and mp4 (Main profile, level 3.0) apart from the rates.
#define X264_MAIN_30                                                                                    \
  "profile=main\nlevel=30\ncoder=1\ncmp=chroma\npartitions=i4x4,i8x8,p8x8,b8x8\nmotion-est=umh\nsubq=7\n" \
  "me_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\nb_strategy=1\nqcomp=0.6\n"        \
  "qmin=10\nqmax=51\nqdiff=4\nbf=3\nrefs=1\ndirect-pred=1\ntrellis=2\nbufsize=4000000\nbt=256000\n"

constexpr BuiltinPreset kPresets[] = {
    {"libx264-baseline", "profile=baseline"},
    {"libx264-default", "preset=medium\nqmin=10\nqmax=51\ni_qfactor=0.71"},
    SPEED("fast"),
    SPEED("faster"),
    {"libx264-fastfirstpass", "preset=medium\nfastfirstpass=1"},
    {"libx264-hq", "preset=slow"},
    {"libx264-ipod320", "profile=baseline\nlevel=13\nmaxrate=768000\nbufsize=3000000"},
    {"libx264-ipod640", "profile=baseline\nlevel=30\nrefs=1\nmaxrate=10000000\nbufsize=10000000"},
    {"libx264-lossless_fast", "preset=fast\nqp=0"},
    {"libx264-lossless_max", "preset=placebo\nqp=0"},
    {"libx264-lossless_medium", "preset=medium\nqp=0"},
    {"libx264-lossless_slow", "preset=slow\nqp=0"},
    {"libx264-lossless_slower", "preset=slower\nqp=0"},
    {"libx264-lossless_ultrafast", "preset=ultrafast\nqp=0"},
    {"libx264-main", "profile=main"},
    {"libx264-max", "preset=placebo"},
    SPEED("medium"),
    {"libx264-normal", "preset=fast"},
    SPEED("placebo"),
    SPEED("slow"),
    SPEED("slower"),
    {"libx264-slowfirstpass", "preset=slow\nfastfirstpass=0"},
    SPEED("superfast"),
    SPEED("ultrafast"),
    SPEED("veryfast"),
    SPEED("veryslow"),
    {"libx264-psp", X264_MAIN_30 "b=1250000\nmaxrate=1500000"},
    {"libx264-ps3", X264_MAIN_30 "maxrate=3500000"},
    {"libx264-ipod",
     "profile=baseline\nlevel=30\ncoder=0\nbf=0\ncmp=chroma\npartitions=i4x4,i8x8,p8x8\nmotion-est=umh\nsubq=7\n"
     "me_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\nb_strategy=1\nqcomp=0.6\nqmin=10\n"
     "qmax=51\nqdiff=4\nrefs=1\ndirect-pred=1\ntrellis=2\nb=1000000\nmaxrate=1250000\nbufsize=4000000\n"
     "bt=256000"},
    {"libx264-mp4", X264_MAIN_30 "b=1250000\nmaxrate=1500000"},
};

#undef SPEED
#undef X264_MAIN_30

}  // namespace

std::span<const BuiltinPreset> BuiltinPresets() { return kPresets; }

const BuiltinPreset* FindBuiltinPreset(const std::string& name) {
  const auto found = std::find_if(std::begin(kPresets), std::end(kPresets), [&](const BuiltinPreset& preset) {
    return strcasecmp(preset.name, name.c_str()) == 0;
  });
  return found == std::end(kPresets) ? nullptr : found;
}
