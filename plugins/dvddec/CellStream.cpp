#include "CellStream.h"

#include <algorithm>
#include <cstring>

#include "PluginLog.h"

namespace dvddec {

CellStream::CellStream(BlockSource& source, const TitleCells& title)
    : source_(source), title_(title), chunk_(size_t(kChunkSectors) * kSectorSize) {
  for (const Cell& cell : title_.cells) {
    cellStarts_.push_back(totalSectors_);
    totalSectors_ += std::int64_t(cell.lastSector) - cell.firstSector + 1;
  }
}

int CellStream::Read(std::uint8_t* buffer, int size) {
  if (position_ >= Size()) {
    if (skippedSectors_ > 0 && goodSectors_ == 0) {
      SetLastError("No sector of the title could be read.");
      return -1;
    }
    return 0;
  }
  int copied = 0;
  while (copied < size && position_ < Size()) {
    const std::int64_t sector = position_ / kSectorSize;
    if (sector < chunkFirst_ || sector >= chunkFirst_ + chunkCount_) LoadChunk(sector);
    const std::int64_t offset = position_ - chunkFirst_ * kSectorSize;
    const int count = int(std::min<std::int64_t>(size - copied, std::int64_t(chunkCount_) * kSectorSize - offset));
    std::memcpy(buffer + copied, chunk_.data() + offset, size_t(count));
    copied += count;
    position_ += count;
  }
  return copied;
}

std::int64_t CellStream::Seek(std::int64_t position) {
  if (position < 0 || position > Size()) return -1;
  position_ = position;
  return position_;
}

size_t CellStream::CellAt(std::int64_t sector) const {
  const auto after = std::upper_bound(cellStarts_.begin(), cellStarts_.end(), sector);
  return size_t(after - cellStarts_.begin()) - 1;
}

// Fills the chunk from `sector` with the valid sectors that follow in its
// cell, the retried sector, or padding for a skipped stretch.
void CellStream::LoadChunk(std::int64_t sector) {
  chunkFirst_ = sector;
  if (sector >= padFrom_ && sector < padUntil_) return PadChunk(sector);
  const size_t cell = CellAt(sector);
  const std::uint32_t physical = title_.cells[cell].firstSector + std::uint32_t(sector - cellStarts_[cell]);
  const std::int64_t cellLeft = std::int64_t(title_.cells[cell].lastSector) - physical + 1;
  chunkCount_ = ReadValid(physical, int(std::min<std::int64_t>(kChunkSectors, cellLeft)));
  if (chunkCount_ == 0 && RetrySector(physical)) chunkCount_ = 1;
  if (chunkCount_ > 0) {
    goodSectors_ += chunkCount_;
    return;
  }
  SkipToNextVobu(sector, cell, physical);
  PadChunk(sector);
}

// The number of leading sectors read that are packs.
int CellStream::ReadValid(std::uint32_t physical, int count) {
  const int read = source_.ReadBlocks(physical, count, chunk_.data());
  int valid = 0;
  while (valid < std::min(read, count) && IsPack(chunk_.data() + size_t(valid) * kSectorSize)) ++valid;
  return valid;
}

bool CellStream::RetrySector(std::uint32_t physical) {
  for (int attempt = 0; attempt < kRetries; ++attempt)
    if (ReadValid(physical, 1) == 1) return true;
  return false;
}

// Marks the bad sector and the rest of its VOBU (or of its cell, when no
// later VOBU starts in the cell) as skipped.
void CellStream::SkipToNextVobu(std::int64_t sector, size_t cell, std::uint32_t physical) {
  const auto& starts = title_.vobuStarts;
  const auto next = std::upper_bound(starts.begin(), starts.end(), physical);
  const std::uint32_t cellEnd = title_.cells[cell].lastSector + 1;
  const std::uint32_t resume = next != starts.end() ? std::min(*next, cellEnd) : cellEnd;
  const long long skipped = resume - physical;
  skippedSectors_ += skipped;
  padFrom_ = sector;
  padUntil_ = sector + skipped;
  LogMessage(kLogWarning,
             "DVD read error: skipped %lld unreadable sectors (%lld bytes) from sector %u to the next VOBU.", skipped,
             skipped * kSectorSize, physical);
}

void CellStream::PadChunk(std::int64_t sector) {
  chunkCount_ = int(std::min<std::int64_t>(kChunkSectors, padUntil_ - sector));
  for (int i = 0; i < chunkCount_; ++i) WritePaddingPack(chunk_.data() + size_t(i) * kSectorSize);
}

}  // namespace dvddec
