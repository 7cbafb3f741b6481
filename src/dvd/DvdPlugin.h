#pragma once

#include <string>

#include "dvddec/dvddec.h"

// The binding to the DVD plug-in (LibAV/libdvddec.so): loading and
// initialising it, the wrappers of its title exports and its title reader.
// One binding per process; every function may be called from any thread.

// The initialisation string the plug-in accepts.
inline constexpr char kDvdInitialisation[] = DVDDEC_INITIALISATION;

// Binds the plug-in from `directory` (the file there when present, else by
// name through the system's search) unless it is bound already. Never raises:
// false with the reason in DvdLastError().
bool LoadDvdPlugin(const std::string& directory, const std::string& initialisation);
bool DvdPluginLoaded();
// Unbinds and unloads the plug-in. Only when no title reader is open: the
// program does it at its end, the tests to start over.
void UnloadDvdPlugin();
std::string DvdLastError();

// Wrappers of the plug-in's exports; each raises EngineException("DVD plug-in
// library is not loaded.") while unbound. (Call them with std::string paths:
// a plain char pointer would pick the plug-in's own declaration.)
int DVDEnumTitle(const std::string& path);
// Zero-fills the record, then asks the plug-in; true when the title is valid.
bool DVDGetTitle(int index, DvdTitleInfo& info);
void DVDSetParam(const DvdParam& param);

// The plug-in's title reader for "opendvd:" sources (see dvddec.h).
struct DvdReaderApi {
  DvdTitleReader* (*open)(const char* path, const DvdParam* param);  // param nullptr: the last DVDSetParam
  void (*close)(DvdTitleReader* reader);
  int32_t (*read)(DvdTitleReader* reader, uint8_t* buffer, int32_t size);
  int64_t (*seek)(DvdTitleReader* reader, int64_t position);
  int64_t (*size)(DvdTitleReader* reader);
  double (*duration)(DvdTitleReader* reader);
  int64_t (*timeToPosition)(DvdTitleReader* reader, double seconds);
  void (*param)(DvdTitleReader* reader, DvdParam* param);
  void (*info)(DvdTitleReader* reader, DvdTitleInfo* info);
  const char* (*lastError)();
};
// The reader's entry points; nullptr while the plug-in is not bound.
const DvdReaderApi* DvdReader();

// Display name of a stream type code: 1 "MPEG-1", 2 "MPEG-2", 3 "MPA", 4 "AC3",
// 5 "DTS", 6 "LPCM", 7 "SUB", any other "Unknown".
std::string DvdStreamTypeName(int type);
