#pragma once

#include <string>

// A tmpfs of a few kilobytes mounted on a folder for the object's lifetime, to
// fill the disk under a conversion. Mounting needs root; without it `mounted()`
// is false and the test skips with `reason()`.
class SmallDisk {
 public:
  SmallDisk(const std::string& folder, int kilobytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string reason_;
};
