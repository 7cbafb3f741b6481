#pragma once

#include <cstdint>
#include <string>

// Files written byte by byte, for sizes and headers no muxer produces.
namespace test_media {

// A WAV file of 8-bit mono PCM at 8000 Hz, exactly `fileBytes` long (at least 44).
std::string WavOfSize(std::uint32_t fileBytes);
// 8-bit mono PCM at 8000 Hz, one second of it, under a header claiming exactly 90 minutes.
std::string NinetyMinuteWav();

std::string ReadBytes(const std::string& path);
// Throws std::runtime_error when the file cannot be written.
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace test_media
