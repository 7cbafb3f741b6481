#pragma once

#include <optional>
#include <string>

#include <sys/types.h>

// Which local file a source is, taken when it is opened, so that a run can
// tell that the file it read changed under it, and an output never writes over
// a source (through a link or another path to it too).
struct SourceIdentity {
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;

  // The file's identity now; nullopt when there is no such local file.
  static std::optional<SourceIdentity> Of(const std::string& path);

  bool IsFile(const std::string& otherPath) const;
  // Empty while the file is still the one opened and no shorter; otherwise a
  // message that says what happened to it.
  std::string ChangeSinceOpened() const;
};
