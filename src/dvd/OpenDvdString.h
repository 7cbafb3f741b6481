#pragma once

#include <string>

#include "dvddec/dvddec.h"

// What a conversion takes from a title beyond the chosen streams: every audio
// and subtitle stream as streams of their own ("AllStreams=1") and the chapters
// as chapter marks ("Chapters=1"). Written only when set, so a name without
// them reads as before.
struct OpenDvdExtras {
  bool allStreams = false;
  bool chapters = false;
};

// "opendvd:<path>|Title=..,FromChapter=..,ToChapter=..,AudioID=..,SubtitleID=..,
// AudioChannels=..,Deinterlace=..[,AllStreams=1][,Chapters=1]": the source
// name of a DVD title for the engine and the player. Title is written from 1,
// param.Title counts from 0.
std::string BuildOpenDvdString(const std::string& path, const DvdParam& param, const OpenDvdExtras& extras = {});

// Reads the full form (the fields in any order; Title required, the others
// default to the whole title, no stream choice, stereo, no deinterlacing) or
// the short form "opendvd:<path>" (hasParameters false: the reader takes the
// last DVDSetParam). False for another prefix, an empty path, an unknown or
// repeated field, or a value that is not a whole number in range (0 or 1 for
// the extras). `extras` may be nullptr when the caller does not need them.
bool ParseOpenDvdString(const std::string& text, std::string& path, DvdParam& param, bool& hasParameters,
                        OpenDvdExtras* extras = nullptr);
