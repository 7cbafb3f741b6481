#pragma once

#include <string>
#include <vector>

// "convert [NAME=VALUE ...] -i INPUT ... -o OUTPUT ...": runs one conversion
// task; returns 0 when it finished, 1 on an error, 130 when interrupted.
int RunConvertCommand(const std::vector<std::string>& arguments);
