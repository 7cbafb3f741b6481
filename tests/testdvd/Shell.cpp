#include "Shell.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test_dvd {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void Run(const std::string& command, const std::string& logPath) {
  const int status = std::system(("(" + command + ") >>" + Quote(logPath) + " 2>&1").c_str());
  if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
  std::ifstream log(logPath);
  std::stringstream text;
  text << log.rdbuf();
  const std::string tail = text.str().size() > 2000 ? text.str().substr(text.str().size() - 2000) : text.str();
  throw std::runtime_error("failed: " + command + "\n" + tail);
}

}  // namespace test_dvd
