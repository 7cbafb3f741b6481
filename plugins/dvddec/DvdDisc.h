#pragma once

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <memory>
#include <string>

#include "TableCheck.h"

namespace dvddec {

struct DiscClose {
  void operator()(dvd_reader_t* disc) const;
};
struct IfoClose {
  void operator()(ifo_handle_t* ifo) const;
};
struct FileClose {
  void operator()(dvd_file_t* file) const;
};
using DiscHandle = std::unique_ptr<dvd_reader_t, DiscClose>;
using IfoHandle = std::unique_ptr<ifo_handle_t, IfoClose>;
using FileHandle = std::unique_ptr<dvd_file_t, FileClose>;

// Opening and closing go through one lock: libdvdread sets up its device
// access on open, which is not safe to run on two threads at once. Reads on
// different handles need no lock. Each opener sets the last error on failure.

// An open disc and which of its table files libdvdread may read.
struct Disc {
  DiscHandle reader;
  TableCheck tables;
};

// A device, a folder holding VIDEO_TS or a UDF .iso, with libdvdread's
// messages routed to the plug-in's log; reader is nullptr on failure.
Disc OpenDisc(const std::string& path);
// Title set 0 is the video manager (VIDEO_TS.IFO); its tables are checked for
// the title list before it is returned. Tables that crashed libdvdread in the
// check are refused.
IfoHandle OpenIfo(Disc& disc, int titleSet);
// All VTS_xx_n.VOB of a title set as one sector space.
FileHandle OpenTitleVobs(dvd_reader_t& disc, int titleSet);

}  // namespace dvddec
