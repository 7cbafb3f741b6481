#include "StreamPictureSize.h"

#include <algorithm>
#include <vector>

namespace dvddec {
namespace {

constexpr int kSectorBytes = 2048;
// A VOBU opens with its navigation pack; the sequence header follows in the
// first video packets.
constexpr std::uint32_t kSectorsSearched = 16;

}  // namespace

std::optional<PictureSize> SequenceHeaderSize(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i + 7 <= size; ++i) {
    if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 1 || bytes[i + 3] != 0xB3) continue;
    const int width = (bytes[i + 4] << 4) | (bytes[i + 5] >> 4);
    const int height = ((bytes[i + 5] & 0x0F) << 8) | bytes[i + 6];
    if (width > 0 && height > 0) return PictureSize{width, height};
  }
  return std::nullopt;
}

std::optional<PictureSize> StreamPictureSize(dvd_file_t& vobs, const Cell& cell) {
  if (cell.lastSector < cell.firstSector) return std::nullopt;
  const std::uint32_t count = std::min(kSectorsSearched, cell.lastSector - cell.firstSector + 1);
  std::vector<unsigned char> data(std::size_t(count) * kSectorBytes);
  const ssize_t read = DVDReadBlocks(&vobs, int(cell.firstSector), count, data.data());
  if (read <= 0) return std::nullopt;
  return SequenceHeaderSize(data.data(), std::size_t(read) * kSectorBytes);
}

}  // namespace dvddec
