#pragma once

#include <cstdint>
#include <vector>

#include "BlockSource.h"
#include "TitleLayout.h"

namespace dvddec {

// The chosen cells of a title and the title set's VOBU start sectors (sorted).
// The last runOnCells cells (or parts of cells) are read on past the chosen
// chapters, for the sound the multiplex stores ahead of the pictures.
struct TitleCells {
  std::vector<Cell> cells;
  std::vector<std::uint32_t> vobuStarts;
  size_t runOnCells = 0;
};

// The byte stream of a title: its cells' sectors one after another. Byte
// positions count every sector of every cell, so a position always names the
// same data. A sector that cannot be read (a read error, or not a pack) is
// retried; when it stays bad, it and the rest of its VOBU are replaced by
// padding packs and a warning names the number of sectors skipped. One thread
// at a time.
class CellStream {
 public:
  CellStream(BlockSource& source, const TitleCells& title);

  // Bytes copied; 0 at the end; -1 at the end when every sector tried was skipped.
  int Read(std::uint8_t* buffer, int size);
  // The new position, or -1 (position unchanged) when outside 0..Size().
  std::int64_t Seek(std::int64_t position);
  std::int64_t Size() const { return totalSectors_ * kSectorSize; }
  std::int64_t Position() const { return position_; }

 private:
  static constexpr int kChunkSectors = 64;
  static constexpr int kRetries = 3;

  void LoadChunk(std::int64_t sector);
  int ReadValid(std::uint32_t physical, int count);
  bool RetrySector(std::uint32_t physical);
  void SkipToNextVobu(std::int64_t sector, size_t cell, std::uint32_t physical);
  void PadChunk(std::int64_t sector);
  size_t CellAt(std::int64_t sector) const;

  BlockSource& source_;
  const TitleCells& title_;
  std::vector<std::int64_t> cellStarts_;  // stream sector where each cell begins
  std::int64_t totalSectors_ = 0;
  std::int64_t position_ = 0;
  std::vector<std::uint8_t> chunk_;
  std::int64_t chunkFirst_ = 0;  // stream sector of chunk_[0]
  int chunkCount_ = 0;
  std::int64_t padFrom_ = 0, padUntil_ = 0;  // the stream sectors skipped last
  std::int64_t goodSectors_ = 0, skippedSectors_ = 0;
};

}  // namespace dvddec
