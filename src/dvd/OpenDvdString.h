#pragma once

#include <string>

#include "dvddec/dvddec.h"

// "opendvd:<path>|Title=..,FromChapter=..,ToChapter=..,AudioID=..,SubtitleID=..,
// AudioChannels=..,Deinterlace=..": the source name of a DVD title for the
// engine and the player. Title is written from 1, param.Title counts from 0.
std::string BuildOpenDvdString(const std::string& path, const DvdParam& param);

// Reads the full form (the fields in any order; Title required, the others
// default to the whole title, no stream choice, stereo, no deinterlacing) or
// the short form "opendvd:<path>" (hasParameters false: the reader takes the
// last DVDSetParam). False for another prefix, an empty path, an unknown or
// repeated field, or a value that is not a whole number in range.
bool ParseOpenDvdString(const std::string& text, std::string& path, DvdParam& param, bool& hasParameters);
