#pragma once

#include <string>

struct CliRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// Runs oxbel-cli from the program folder with the arguments (shell syntax). With
// wholeCommand the text is a complete shell command line in which the program's
// path is put in front of it, for commands that also do other things.
CliRun RunCli(const std::string& arguments, bool wholeCommand = false);
