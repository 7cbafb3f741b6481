#pragma once

#include <cstdint>

#include "BlockSource.h"
#include "CellStream.h"

namespace dvddec {

// Stream byte position of the VOBU playing at `seconds` from the start of the
// cells: the cell from the IFO's cell times, the VOBU inside it from the
// elapsed times in the navigation packs of the title set's VOBU map. -1 when
// the time lies outside the chosen cells (the run-on cells have no time).
std::int64_t TimeToPosition(const TitleCells& title, BlockSource& source, double seconds);

}  // namespace dvddec
