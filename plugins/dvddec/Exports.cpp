// The plug-in's C exports: the only symbols the library makes visible.
#pragma GCC visibility push(default)
#include "dvddec.h"
#pragma GCC visibility pop

#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>

#include "PluginLog.h"
#include "TimeSeek.h"
#include "TitleList.h"
#include "TitleReader.h"

namespace {

std::atomic<bool> initialised{false};
std::mutex paramLock;
DvdParam storedParam{0, 0, 99, 0x80, 0, 2, 0};  // guarded by paramLock

bool Initialised() {
  if (!initialised) dvddec::SetLastError("The DVD plug-in is not initialised.");
  return initialised;
}

// Runs an export's body; no exception may cross the C boundary.
template <typename Result, typename Body>
Result Guarded(Result failure, Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    dvddec::SetLastError(e.what());
    return failure;
  }
}

}  // namespace

extern "C" {

int32_t DVDInitialize(const char* initialisation) {
  initialised = initialisation && std::strcmp(initialisation, DVDDEC_INITIALISATION) == 0;
  if (!initialised) dvddec::SetLastError("Unknown initialisation string.");
  return initialised ? 1 : 0;
}

int32_t DVDEnumTitle(const char* path) {
  if (!path || !Initialised()) return 0;
  return Guarded(0, [&] { return dvddec::Titles().Enumerate(path); });
}

int32_t DVDGetTitle(int32_t index, DvdTitleInfo* info) {
  if (!info) return 0;
  return dvddec::Titles().Get(index, *info) ? 1 : 0;
}

int32_t DVDSetParam(const DvdParam* param) {
  if (!param) return 0;
  const std::lock_guard guard(paramLock);
  storedParam = *param;
  return 1;
}

int32_t DVDGetLibVersion(void) { return 0x00010000; }

void DVDSetLogCallback(DvdLogCallback callback) { dvddec::SetLogCallback(callback); }

DvdTitleReader* DVDOpenTitleReader(const char* path, const DvdParam* param) {
  if (!path || !Initialised()) return nullptr;
  DvdParam chosen;
  {
    const std::lock_guard guard(paramLock);
    chosen = param ? *param : storedParam;
  }
  return Guarded<DvdTitleReader*>(nullptr, [&] { return dvddec::OpenTitleReader(path, chosen).release(); });
}

void DVDCloseTitleReader(DvdTitleReader* reader) { delete reader; }

int32_t DVDReadTitle(DvdTitleReader* reader, uint8_t* buffer, int32_t size) {
  if (!reader || !buffer || size <= 0) return reader ? 0 : -1;
  return Guarded(-1, [&] { return reader->stream->Read(buffer, size); });
}

int64_t DVDSeekTitle(DvdTitleReader* reader, int64_t position) {
  return reader ? reader->stream->Seek(position) : -1;
}

int64_t DVDTitleSize(DvdTitleReader* reader) { return reader ? reader->stream->Size() : -1; }

double DVDTitleDuration(DvdTitleReader* reader) { return reader ? reader->seconds : 0; }

int64_t DVDTitleTimeToPosition(DvdTitleReader* reader, double seconds) {
  if (!reader) return -1;
  return Guarded<int64_t>(-1, [&] { return dvddec::TimeToPosition(reader->title, *reader->source, seconds); });
}

void DVDTitleReaderParam(DvdTitleReader* reader, DvdParam* param) {
  if (reader && param) *param = reader->param;
}

void DVDTitleReaderInfo(DvdTitleReader* reader, DvdTitleInfo* info) {
  if (reader && info) *info = reader->info;
}

const char* DVDLastErrorText(void) { return dvddec::LastErrorText(); }

}  // extern "C"
