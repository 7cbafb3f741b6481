#include "IfoBytes.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "TestDvd.h"

namespace test_dvd {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), std::streamsize(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

unsigned BigEndian(const std::string& bytes, size_t offset, int size) {
  if (offset + size_t(size) > bytes.size()) throw std::runtime_error("IFO too short to patch");
  unsigned value = 0;
  for (int i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(bytes[offset + size_t(i)]);
  return value;
}

size_t ProgramChainOffset(const std::string& ifo, int pgcn) {
  const size_t table = size_t(BigEndian(ifo, 0xCC, 4)) * kSectorBytes;
  return table + BigEndian(ifo, table + 8 * size_t(pgcn) + 4, 4);
}

}  // namespace test_dvd
