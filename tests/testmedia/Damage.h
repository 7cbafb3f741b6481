#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Damaged copies of media files, made by the tests from files they generated.
namespace test_media {

// Adds `shiftMs` to the time stamp of every FLV tag from the `fromTag`-th tag
// (counted from 0 over all tags) to the end: the clock jumps once and runs on.
// Throws std::runtime_error when the bytes are not an FLV file.
std::string ShiftFlvTimestamps(const std::string& flv, int fromTag, std::uint32_t shiftMs);

struct DamagedCopy {
  std::string name;   // what was done, for test messages
  std::string bytes;
};

// `count` copies of `bytes`, deterministic for a seed: truncated at a random
// length, random bytes overwritten past the first `headerBytes`, or the first
// 4 KiB zeroed, in turn.
std::vector<DamagedCopy> DamagedCopies(const std::string& bytes, int count, std::uint32_t seed,
                                       std::size_t headerBytes = 64);

}  // namespace test_media
