#pragma once

#include <string>
#include <vector>

namespace dvddec {

// Which table files of a disc libdvdread reads without crashing. Some damaged
// tables make it crash or corrupt memory inside ifoOpen, so it reads them
// first in a child process; only what survived there is read in this one.
struct TableCheck {
  bool checked = true;              // false: no child could be started, everything is trusted
  bool discOpens = false;           // the child opened the disc
  std::vector<bool> tableReadable;  // [0] the video manager, [n] title set n

  bool DiscSafe() const { return !checked || discOpens; }
  bool Safe(int titleSet) const {
    return !checked || (titleSet >= 0 && titleSet < int(tableReadable.size()) && tableReadable[size_t(titleSet)]);
  }
};

// Runs the check; waits at most a few seconds for each child.
TableCheck CheckTables(const std::string& path);

}  // namespace dvddec
