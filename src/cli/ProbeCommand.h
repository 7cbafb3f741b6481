#pragma once

#include <string>
#include <vector>

// "probe FILE...": prints each file's description; returns the exit code
// (0 when every file was described, 1 otherwise).
int RunProbeCommand(const std::vector<std::string>& files);
