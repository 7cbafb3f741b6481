#include "Damage.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace test_media {
namespace {

std::uint32_t ReadBig24(const std::string& bytes, std::size_t at) {
  return std::uint32_t(std::uint8_t(bytes[at])) << 16 | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
         std::uint8_t(bytes[at + 2]);
}

}  // namespace

std::string ShiftFlvTimestamps(const std::string& flv, int fromTag, std::uint32_t shiftMs) {
  if (flv.size() < 13 || flv.compare(0, 3, "FLV") != 0) throw std::runtime_error("not an FLV file");
  std::string shifted = flv;
  // 9-byte header, then a 4-byte previous-tag size before every tag; a tag has an
  // 11-byte header: type, 24-bit size, 24-bit time, 8-bit upper time, stream id.
  std::size_t at = 13;
  for (int tag = 0; at + 11 <= shifted.size(); ++tag) {
    const std::uint32_t size = ReadBig24(shifted, at + 1);
    if (tag >= fromTag) {
      const std::uint32_t time = (ReadBig24(shifted, at + 4) | std::uint32_t(std::uint8_t(shifted[at + 7])) << 24) + shiftMs;
      shifted[at + 4] = char(time >> 16);
      shifted[at + 5] = char(time >> 8);
      shifted[at + 6] = char(time);
      shifted[at + 7] = char(time >> 24);
    }
    at += 11 + size + 4;
  }
  return shifted;
}

std::vector<DamagedCopy> DamagedCopies(const std::string& bytes, int count, std::uint32_t seed, std::size_t headerBytes) {
  std::mt19937 random(seed);
  auto below = [&](std::size_t limit) { return std::uniform_int_distribution<std::size_t>(0, limit - 1)(random); };
  std::vector<DamagedCopy> copies;
  for (int i = 0; i < count; ++i) {
    DamagedCopy copy{{}, bytes};
    switch (i % 3) {
      case 0: {
        const std::size_t length = 1 + below(bytes.size() - 1);
        copy.bytes.resize(length);
        copy.name = "truncated to " + std::to_string(length);
        break;
      }
      case 1: {
        const std::size_t start = std::min(bytes.size() - 1, headerBytes + below(bytes.size() - headerBytes));
        const std::size_t length = std::min(bytes.size() - start, 1 + below(512));
        for (std::size_t b = start; b < start + length; ++b) copy.bytes[b] = char(random());
        copy.name = "overwritten " + std::to_string(length) + " bytes at " + std::to_string(start);
        break;
      }
      default:
        std::fill_n(copy.bytes.begin(), std::min<std::size_t>(4096, bytes.size()), '\0');
        copy.name = "first 4 KiB zeroed";
    }
    copies.push_back(std::move(copy));
  }
  return copies;
}

}  // namespace test_media
