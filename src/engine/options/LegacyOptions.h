#pragma once

#include <string>
#include <utility>
#include <vector>

using OptionPair = std::pair<std::string, std::string>;

// Codec options of the older libraries' vocabulary in present terms:
// libx264's old "flags2" bits, partition names, "directpred" and "wpredp", the
// "flags" bits "loop" and "scan_offset", and "me_method" for the MPEG-family
// encoders (their "motion_est"). Anything else comes back unchanged; one pair
// may become several or none.
std::vector<OptionPair> TranslateLegacyOption(const std::string& name, const std::string& value);
