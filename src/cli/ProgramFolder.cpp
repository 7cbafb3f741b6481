#include "cli/ProgramFolder.h"

#include <filesystem>

std::string ProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("./") : exe.parent_path().string() + "/";
}
