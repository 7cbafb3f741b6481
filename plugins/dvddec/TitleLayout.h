#pragma once

#include <dvdread/ifo_types.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace dvddec {

struct Cell {
  std::uint32_t firstSector = 0, lastSector = 0;  // inclusive, in the title set's VOB sector space
  double seconds = 0;
  int vob = 0;  // the VOB id the cell belongs to
};

// Where a title's chapters lie, checked against every table it was read from.
struct TitleLayout {
  const pgc_t* pgc = nullptr;  // the first chapter's program chain; lives as long as the VTS IFO
  std::vector<std::vector<Cell>> chapters;  // each chapter's cells in program-chain order
  // Per chapter: the cells after its last one in its program chain that go on
  // with the same VOB sector by sector (the rest of the same multiplex).
  std::vector<std::vector<Cell>> runOn;
};

// The title set (from 1) of title `index` (from 0) of the video manager, or 0
// when the title table has no such usable entry.
int TitleSetOf(const ifo_handle_t& vmg, int index);

// Chapters and cells of title `index` from its title set's IFO. In an angle
// block only the first angle's cell is taken. Returns nothing, with the reason
// as the last error, when a table is missing or an index points outside its table.
std::optional<TitleLayout> ReadTitleLayout(const ifo_handle_t& vmg, int index, const ifo_handle_t& vts);

}  // namespace dvddec
