#pragma once

#include <string>
#include <vector>

// "formats": lists the output formats, code, display name and file extension
// from the format catalogue beside the program; returns the exit code.
int RunFormatsCommand(const std::vector<std::string>& arguments);
