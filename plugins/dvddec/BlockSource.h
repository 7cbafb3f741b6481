#pragma once

#include <cstdint>

namespace dvddec {

constexpr int kSectorSize = 2048;

// Sectors of one title set's VOB space.
class BlockSource {
 public:
  virtual ~BlockSource() = default;
  // Reads count sectors from `sector` into data; returns how many were read,
  // -1 on a read error.
  virtual int ReadBlocks(std::uint32_t sector, int count, std::uint8_t* data) = 0;
};

// Whether a sector holds an MPEG-2 pack, as every sector of a DVD title does;
// a damaged copy's zeroed or garbled sectors do not.
bool IsPack(const std::uint8_t* sector);

// Writes a pack holding only a padding stream, which demuxers skip.
void WritePaddingPack(std::uint8_t* sector);

}  // namespace dvddec
