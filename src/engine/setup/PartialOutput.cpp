#include "engine/setup/PartialOutput.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace partial_output {

namespace {

constexpr size_t kDefaultNameLimit = 255;

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A stable 64-bit hash (FNV-1a), so every process derives the same name.
std::uint64_t NameHash(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

void FlushToDisk(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    throw EngineException(WriteErrorText(path, error));
  }
  ::close(fd);
}

// Renames without replacing; file systems without the kernel's no-replace
// rename get a hard link instead, and those without links a checked rename.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0 ? 0 : errno;
  if (errno == EEXIST) return EEXIST;
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

size_t NameLimit(const std::string& folder) {
  const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  return limit > 0 ? size_t(limit) : kDefaultNameLimit;
}

std::string Utf8Prefix(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t end = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of a character.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string PartialPathOf(const std::string& finalPath) {
  const std::string folder = FolderOf(finalPath);
  const std::string name = NameOf(finalPath);
  const size_t limit = NameLimit(folder);
  if (name.size() + kDecorationBytes <= limit) return folder + "." + name + ".part";
  const std::string unique = StringPrintf("~%016llx", static_cast<unsigned long long>(NameHash(name)));
  const size_t room = limit > kDecorationBytes + unique.size() ? limit - kDecorationBytes - unique.size() : 0;
  return folder + "." + Utf8Prefix(name, room) + unique + ".part";
}

bool UsesPartialFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

void Publish(const std::string& partialPath, const std::string& finalPath, bool replace) {
  FlushToDisk(partialPath);
  const int error = replace ? (::rename(partialPath.c_str(), finalPath.c_str()) == 0 ? 0 : errno)
                            : RenameNoReplace(partialPath, finalPath);
  if (error == EEXIST)
    throw EngineException("Cannot save " + finalPath + ": another file of that name appeared during the conversion");
  if (error != 0) throw EngineException(WriteErrorText(finalPath, error));
}

std::string WriteErrorText(const std::string& file, int error) {
  const int number = error < 0 ? -error : error;
  switch (number) {
    case ENOSPC: return "Not enough space on the disk to write " + file;
    case EDQUOT: return "The disk quota is used up: cannot write " + file;
    case EFBIG: return "The file " + file + " grew larger than the file system or the system allows";
    default: break;
  }
  // Library codes beyond the errno range have texts of their own.
  if (error < 0 && number > 4095) return "Cannot write " + MediaErrorText(file, error);
  return "Cannot write " + file + ": " + std::strerror(number);
}

}  // namespace partial_output
