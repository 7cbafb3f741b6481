#include "frontend/DestinationPath.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/setup/PartialOutput.h"

namespace {

// Enough for any real folder; the search ends there instead of never.
constexpr int kLastNumber = 99999;

struct NameParts {
  std::string folder;  // with a trailing "/"
  std::string stem;    // the source's name without its extension
  std::string suffix;
  size_t limit = 0;    // longest final name the folder takes
};

NameParts PartsOf(const std::string& outputFolder, const std::string& source, const std::string& suffix) {
  NameParts parts{outputFolder, std::filesystem::path(source).stem().string(), suffix};
  if (parts.folder.empty() || parts.folder.back() != '/') parts.folder += '/';
  const size_t limit = partial_output::NameLimit(parts.folder);
  // Room for the partial name, which must fit too.
  parts.limit = limit > partial_output::kDecorationBytes ? limit - partial_output::kDecorationBytes : 0;
  return parts;
}

std::string Candidate(const NameParts& parts, int number) {
  const std::string tag = number == 0 ? "_(new)" : "_(new_" + std::to_string(number) + ")";
  const size_t fixed = tag.size() + parts.suffix.size();
  const std::string stem = parts.limit > fixed ? partial_output::Utf8Prefix(parts.stem, parts.limit - fixed) : "";
  return parts.folder + stem + tag + parts.suffix;
}

[[noreturn]] void FolderFailure(const NameParts& parts, int error) {
  throw DestinationError("Cannot choose a name for the converted file in the folder " + parts.folder + ": " +
                         std::strerror(error));
}

// Anything of that name counts, a dangling link or a folder too; an error
// other than "does not exist" ends the search.
bool Exists(const NameParts& parts, const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) return true;
  if (errno != ENOENT) FolderFailure(parts, errno);
  return false;
}

bool Taken(const NameParts& parts, const std::string& path) {
  return Exists(parts, path) || Exists(parts, partial_output::PartialPathOf(path));
}

// Creates the partial file exclusively; false when another holds it or the
// final name appeared meanwhile.
bool Reserve(const NameParts& parts, const std::string& path) {
  const std::string partial = partial_output::PartialPathOf(path);
  const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    FolderFailure(parts, errno);
  }
  ::close(fd);
  if (!Exists(parts, path)) return true;
  ::unlink(partial.c_str());
  return false;
}

[[noreturn]] void NoFreeName(const NameParts& parts) {
  throw DestinationError("No free name for the converted file of " + parts.stem + " in the folder " + parts.folder);
}

}  // namespace

std::string MakeDestinationPath(const std::string& outputFolder, const std::string& source, const std::string& suffix) {
  const NameParts parts = PartsOf(outputFolder, source, suffix);
  for (int n = 0; n <= kLastNumber; ++n)
    if (const std::string candidate = Candidate(parts, n); !Taken(parts, candidate)) return candidate;
  NoFreeName(parts);
}

std::string FirstDestinationPath(const std::string& outputFolder, const std::string& source, const std::string& suffix) {
  return Candidate(PartsOf(outputFolder, source, suffix), 0);
}

std::string ReserveDestinationPath(const std::string& outputFolder, const std::string& source,
                                   const std::string& suffix) {
  const NameParts parts = PartsOf(outputFolder, source, suffix);
  for (int n = 0; n <= kLastNumber; ++n)
    if (const std::string candidate = Candidate(parts, n); !Exists(parts, candidate) && Reserve(parts, candidate))
      return candidate;
  NoFreeName(parts);
}

void ReleaseDestinationPath(const std::string& destination) {
  ::unlink(partial_output::PartialPathOf(destination).c_str());
}
