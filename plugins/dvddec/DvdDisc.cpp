#include "DvdDisc.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "PluginLog.h"

namespace dvddec {
namespace {

std::mutex& OpenLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

void DiscClose::operator()(dvd_reader_t* disc) const {
  const std::lock_guard guard(OpenLock());
  DVDClose(disc);
}

void IfoClose::operator()(ifo_handle_t* ifo) const {
  const std::lock_guard guard(OpenLock());
  ifoClose(ifo);
}

void FileClose::operator()(dvd_file_t* file) const {
  const std::lock_guard guard(OpenLock());
  DVDCloseFile(file);
}

Disc OpenDisc(const std::string& path) {
  // libdvdread reports a missing path on the terminal, bypassing the logger.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    SetLastError("Cannot open the DVD at " + path + ": " + std::strerror(errno) + ".");
    return {};
  }
  Disc disc{nullptr, CheckTables(path)};
  if (disc.tables.DiscSafe()) {
    const std::lock_guard guard(OpenLock());
    disc.reader.reset(DVDOpen2(nullptr, DvdReadLogger(), path.c_str()));
  }
  if (!disc.reader) SetLastError("Cannot open the DVD at " + path + ".");
  return disc;
}

IfoHandle OpenIfo(Disc& disc, int titleSet) {
  if (!disc.tables.Safe(titleSet)) {
    SetLastError(titleSet == 0 ? std::string("The DVD's title table is damaged.")
                               : "The tables of title set " + std::to_string(titleSet) + " are damaged.");
    return nullptr;
  }
  const std::lock_guard guard(OpenLock());
  ifo_handle_t* raw = ifoOpen(disc.reader.get(), titleSet);
  if (raw && titleSet == 0 && !raw->tt_srpt) {
    ifoClose(raw);
    raw = nullptr;
  }
  IfoHandle ifo(raw);
  if (!ifo) {
    SetLastError(titleSet == 0 ? std::string("The DVD has no readable title table.")
                               : "Title set " + std::to_string(titleSet) + " of the DVD cannot be read.");
  }
  return ifo;
}

FileHandle OpenTitleVobs(dvd_reader_t& disc, int titleSet) {
  const std::lock_guard guard(OpenLock());
  FileHandle file(DVDOpenFile(&disc, titleSet, DVD_READ_TITLE_VOBS));
  if (!file) SetLastError("The video files of title set " + std::to_string(titleSet) + " cannot be opened.");
  return file;
}

}  // namespace dvddec
