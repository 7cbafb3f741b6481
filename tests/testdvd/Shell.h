#pragma once

#include <string>

namespace test_dvd {

// The text in single quotes for the shell.
std::string Quote(const std::string& text);

// Runs a shell command line with its output appended to logPath; throws
// std::runtime_error with the command and the log's end when it fails.
void Run(const std::string& command, const std::string& logPath);

}  // namespace test_dvd
