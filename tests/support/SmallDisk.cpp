#include "support/SmallDisk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

SmallDisk::SmallDisk(const std::string& folder, int kilobytes) : folder_(folder) {
  std::filesystem::create_directories(folder);
  if (geteuid() != 0) {
    reason_ = "mounting a small file system needs root";
    return;
  }
  const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0777";
  mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  if (!mounted_) reason_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
}

SmallDisk::~SmallDisk() {
  if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}
