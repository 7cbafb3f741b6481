#pragma once

#include <cstdint>
#include <string>

// Whole seconds as hours (not padded) ":" minutes ":" seconds (two digits
// each), for example "1:05:09"; a negative input gives "0:00:00".
std::string FormatHMS(std::int64_t seconds);
