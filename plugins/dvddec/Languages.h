#pragma once

#include <cstdint>
#include <string>

namespace dvddec {

// English name of an IFO language code (two ISO 639-1 letters, first letter in
// the high byte); the letters themselves when the code is not in the table,
// empty when they are not letters.
std::string LanguageName(std::uint16_t code);
// ISO 639-2 code ("eng", "ger") of an IFO language code; empty when the table lacks it.
std::string LanguageCode(std::uint16_t code);

}  // namespace dvddec
