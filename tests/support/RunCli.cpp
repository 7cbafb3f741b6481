#include "support/RunCli.h"

#include <sys/wait.h>

#include <cstdio>

CliRun RunCli(const std::string& arguments, bool wholeCommand) {
  CliRun run;
  const std::string program = std::string(OXBEL_PROGRAM_DIR) + "/oxbel-cli ";
  const std::string command = wholeCommand ? "(" + program + arguments + ") 2>&1" : program + arguments + " 2>&1";
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}
