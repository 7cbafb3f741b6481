#include "BlockSource.h"

#include <cstring>

namespace dvddec {

bool IsPack(const std::uint8_t* sector) {
  return sector[0] == 0 && sector[1] == 0 && sector[2] == 1 && sector[3] == 0xBA && (sector[4] & 0xC0) == 0x40;
}

void WritePaddingPack(std::uint8_t* sector) {
  // Pack header: clock reference 0 with its marker bits, mux rate 25200 (the
  // DVD's 10.08 Mbit/s in units of 50 bytes/s), no stuffing.
  static const std::uint8_t kPackHeader[14] = {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04,
                                               0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8};
  constexpr int kPaddingLength = kSectorSize - 14 - 6;
  std::memcpy(sector, kPackHeader, sizeof kPackHeader);
  const std::uint8_t padding[6] = {0x00, 0x00, 0x01, 0xBE, std::uint8_t(kPaddingLength >> 8),
                                   std::uint8_t(kPaddingLength & 0xFF)};
  std::memcpy(sector + 14, padding, sizeof padding);
  std::memset(sector + 20, 0xFF, kPaddingLength);
}

}  // namespace dvddec
