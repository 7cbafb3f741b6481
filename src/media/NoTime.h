#pragma once

#include <climits>
#include <cstdint>

constexpr std::int64_t kNoTime = INT64_MIN;  // the libraries' no-value marker
