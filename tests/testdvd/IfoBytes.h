#pragma once

#include <cstddef>
#include <string>

namespace test_dvd {

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// The big-endian value of `size` bytes at offset; throws when the table is too short.
unsigned BigEndian(const std::string& bytes, size_t offset, int size);

// The offset of program chain pgcn (from 1) in a title set IFO: the table's
// sector is at 0xCC, its entries (8 bytes each after an 8-byte header) hold
// the chain's offset within the table.
size_t ProgramChainOffset(const std::string& ifo, int pgcn);

}  // namespace test_dvd
