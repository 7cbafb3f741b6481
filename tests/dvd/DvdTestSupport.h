#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "dvd/DvdPlugin.h"

// Binds the plug-in the build put into LibAV/ beside the programs.
bool BindBuiltPlugin();

// Collects the log lines that reach TMediaLogger at warning level or above
// while it lives.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  std::vector<std::string> Lines() const;
  bool Contains(const std::string& text) const;

 private:
  mutable std::mutex lock_;
  std::vector<std::string> lines_;
};

// A parameter record for the title (from 0) and chapter range.
DvdParam Chapters(int title, int from, int to);
