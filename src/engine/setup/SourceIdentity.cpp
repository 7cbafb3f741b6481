#include "engine/setup/SourceIdentity.h"

#include <sys/stat.h>

std::optional<SourceIdentity> SourceIdentity::Of(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return SourceIdentity{path, st.st_dev, st.st_ino, S_ISREG(st.st_mode) ? st.st_size : 0};
}

bool SourceIdentity::IsFile(const std::string& otherPath) const {
  struct stat st {};
  return ::stat(otherPath.c_str(), &st) == 0 && st.st_dev == device && st.st_ino == inode;
}

std::string SourceIdentity::ChangeSinceOpened() const {
  const auto now = Of(path);
  if (!now) return "The source " + path + " disappeared during the conversion";
  if (now->device != device || now->inode != inode)
    return "The source " + path + " was replaced by another file during the conversion";
  if (now->size < size) return "The source " + path + " became shorter during the conversion";
  return {};
}
