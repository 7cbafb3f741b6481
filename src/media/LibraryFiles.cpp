#include "media/LibraryFiles.h"

#include <dlfcn.h>
#include <sys/stat.h>

std::string LibraryPathIn(const std::string& folder, const std::string& name) {
  if (folder.empty() || name.find('/') != std::string::npos) return name;
  const std::string path = folder.back() == '/' ? folder + name : folder + "/" + name;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? path : name;
}

std::string DynamicLoaderError() {
  const char* text = dlerror();
  return text ? text : "unknown error";
}
