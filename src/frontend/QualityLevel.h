#pragma once

#include <optional>
#include <string_view>

// A video bit-rate choice may name a quality level instead of kbit/s:
// "Quality N" encodes at constant quality N on the encoder's own scale (lower
// is better), without a bit rate. N is a whole number from 0 to 63.
std::optional<int> QualityLevel(std::string_view text);
