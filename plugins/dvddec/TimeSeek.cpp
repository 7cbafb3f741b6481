#include "TimeSeek.h"

#include <dvdread/nav_read.h>
#include <dvdread/nav_types.h>

#include <algorithm>
#include <vector>

#include "DvdTime.h"

namespace dvddec {
namespace {

bool IsNavigationPack(const std::uint8_t* sector) {
  const std::uint8_t* dsi = sector + DSI_START_BYTE - 7;  // the DSI packet's start code
  return IsPack(sector) && dsi[0] == 0 && dsi[1] == 0 && dsi[2] == 1 && dsi[3] == 0xBF && dsi[6] == 0x01;
}

// Seconds into its cell at which the VOBU starting at `sector` plays, from its
// navigation pack; `estimate` when that pack cannot be read.
double VobuElapsed(BlockSource& source, std::uint32_t sector, double estimate) {
  std::vector<std::uint8_t> data(kSectorSize);
  if (source.ReadBlocks(sector, 1, data.data()) != 1 || !IsNavigationPack(data.data())) return estimate;
  dsi_t dsi{};
  navRead_DSI(&dsi, data.data() + DSI_START_BYTE);
  const double seconds = DvdTimeSeconds(dsi.dsi_gi.c_eltm);
  return seconds < 0 ? estimate : seconds;
}

// Stream sector offset inside the cell of the last VOBU starting at or before `offset` seconds.
std::int64_t VobuInCell(const TitleCells& title, const Cell& cell, BlockSource& source, double offset) {
  const auto& starts = title.vobuStarts;
  const auto first = std::lower_bound(starts.begin(), starts.end(), cell.firstSector);
  const auto end = std::upper_bound(first, starts.end(), cell.lastSector);
  const double cellSectors = double(cell.lastSector) - cell.firstSector + 1;
  auto low = first, high = end;
  while (low < high) {
    const auto middle = low + (high - low) / 2;
    const double estimate = (*middle - cell.firstSector) / cellSectors * cell.seconds;
    if (VobuElapsed(source, *middle, estimate) <= offset)
      low = middle + 1;
    else
      high = middle;
  }
  return low == first ? 0 : std::int64_t(*(low - 1)) - cell.firstSector;
}

}  // namespace

std::int64_t TimeToPosition(const TitleCells& title, BlockSource& source, double seconds) {
  if (seconds < 0) return -1;
  double cellStart = 0;
  std::int64_t streamSector = 0;
  const size_t chosen = title.cells.size() - std::min(title.runOnCells, title.cells.size());
  for (size_t i = 0; i < chosen; ++i) {
    const Cell& cell = title.cells[i];
    if (seconds < cellStart + cell.seconds)
      return (streamSector + VobuInCell(title, cell, source, seconds - cellStart)) * kSectorSize;
    cellStart += cell.seconds;
    streamSector += std::int64_t(cell.lastSector) - cell.firstSector + 1;
  }
  return -1;
}

}  // namespace dvddec
