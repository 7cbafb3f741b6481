#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "dvddec.h"

namespace dvddec {

// The titles of the DVD enumerated last, described once and kept, so that
// listing them needs no further disc access. Any thread.
class TitleList {
 public:
  // Reads every title of the DVD at path; returns the number of titles in its
  // title table (invalid ones included), 0 when the DVD cannot be read.
  int Enumerate(const std::string& path);
  // False for an index out of range or a title whose tables are inconsistent.
  bool Get(int index, DvdTitleInfo& info) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::optional<DvdTitleInfo>> titles_;  // guarded by mutex_
};

TitleList& Titles();

}  // namespace dvddec
