#include "frontend/DestinationPath.h"

#include <filesystem>

namespace {

// Anything of that name counts, a dangling link or a folder too.
bool Taken(const std::string& path) {
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

}  // namespace

std::string MakeDestinationPath(const std::string& outputFolder, const std::string& source, const std::string& suffix) {
  std::string base = outputFolder;
  if (base.empty() || base.back() != '/') base += '/';
  base += std::filesystem::path(source).stem().string();
  const std::string first = base + "_(new)" + suffix;
  if (!Taken(first)) return first;
  for (int n = 1;; ++n) {
    const std::string candidate = base + "_(new_" + std::to_string(n) + ")" + suffix;
    if (!Taken(candidate)) return candidate;
  }
}
