#pragma once

#include <string>

// Converts the 60 s PAL benchmark title with every video format of today's
// devices (their catalogue defaults, through the task builder the window
// uses) and prints pictures per second and the multiple of real time.
void BenchCurrentFormats(const std::string& folder);
