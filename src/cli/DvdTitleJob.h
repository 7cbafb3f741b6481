#pragma once

#include <string>

#include "dvddec/dvddec.h"

class IniFile;

// A DVD title as the command line converts it: the window's job with its
// default streams (the first audio stream, no subtitle), all chapters and the
// stored deinterlacing choice.
struct DvdTitleJob {
  std::string caption;  // "DVD Title N", which names the destination
  std::string address;  // the full "opendvd:" name
  DvdTitleInfo title{};
};

// Title `number` (from 1) of the DVD at `path` (a device, a folder holding
// VIDEO_TS, or a .iso). False with `error` set when the plug-in is missing,
// the path is no readable DVD or the title does not exist.
bool OpenDvdTitleJob(const std::string& path, int number, const IniFile& settings, DvdTitleJob& job,
                     std::string& error);
