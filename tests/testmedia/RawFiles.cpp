#include "RawFiles.h"

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace test_media {
namespace {

constexpr std::uint32_t kSampleRate = 8000;

std::string LittleEndian(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += char(value >> (8 * i) & 0xFF);
  return text;
}

// A 440 Hz tone as unsigned 8-bit samples.
std::string ToneBytes(std::uint32_t count) {
  std::string bytes(count, '\0');
  for (std::uint32_t i = 0; i < count; ++i)
    bytes[i] = char(128 + std::lround(60 * std::sin(2 * std::numbers::pi * 440 * i / kSampleRate)));
  return bytes;
}

// 8-bit mono PCM: `chunks` (placed before the data), then a data chunk that
// claims `dataBytes` and holds `samples`.
std::string Wav(const std::string& chunks, std::uint32_t dataBytes, const std::string& samples) {
  const std::string format = "fmt " + LittleEndian(16, 4) + LittleEndian(1, 2) + LittleEndian(1, 2) +  // PCM, mono
                             LittleEndian(kSampleRate, 4) + LittleEndian(kSampleRate, 4) +             // rate, bytes/s
                             LittleEndian(1, 2) + LittleEndian(8, 2);                                   // block, bits
  const std::string head = "WAVE" + format + chunks + "data" + LittleEndian(dataBytes, 4);
  return "RIFF" + LittleEndian(std::uint32_t(head.size()) + dataBytes, 4) + head + samples;
}

}  // namespace

std::string WavOfSize(std::uint32_t fileBytes) {
  const std::uint32_t sampleBytes = fileBytes - std::uint32_t(Wav("", 0, "").size());
  return Wav("", sampleBytes, ToneBytes(sampleBytes));
}

// The demuxer trusts the data chunk's size only when the file is that long;
// otherwise it takes the length from the sample count of the fact chunk.
std::string NinetyMinuteWav() {
  const std::uint32_t samples = 90 * 60 * kSampleRate;
  const std::string fact = "fact" + LittleEndian(4, 4) + LittleEndian(samples, 4);
  return Wav(fact, samples, ToneBytes(kSampleRate));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("read " + path + ": cannot open");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("write " + path + ": failed");
}

}  // namespace test_media
