#include "DiscCopies.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "IfoBytes.h"
#include "Shell.h"
#include "TestDvd.h"

namespace test_dvd {
namespace fs = std::filesystem;

namespace {

// Writes a 16-bit big-endian value into a title set IFO and its backup, at an
// offset found from the IFO's own tables.
void PatchTitleSet(const std::string& folder, const char* name, size_t (*offsetOf)(const std::string&), unsigned value) {
  const std::string ifo = folder + "/VIDEO_TS/" + name + ".IFO";
  const size_t offset = offsetOf(ReadFile(ifo));
  for (const std::string& path : {ifo, folder + "/VIDEO_TS/" + name + ".BUP"}) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    const char bytes[2] = {char(value >> 8), char(value & 0xFF)};
    file.seekp(std::streamoff(offset));
    file.write(bytes, 2);
    if (!file) throw std::runtime_error("cannot patch " + path);
  }
}

// The program chain number of title 1, chapter 2: the chapter table's sector
// is at 0xC8, its first title's entries (4 bytes each) where its offset table says.
size_t ChapterTwoProgramChain(const std::string& ifo) {
  const size_t table = size_t(BigEndian(ifo, 0xC8, 4)) * kSectorBytes;
  return table + BigEndian(ifo, table + 8, 4) + 4;
}

// The number of program chains, first in the table whose sector is at 0xCC.
size_t ProgramChainCount(const std::string& ifo) { return size_t(BigEndian(ifo, 0xCC, 4)) * kSectorBytes; }

// Title 1's program chain: the first of its title set.
size_t FirstProgramChain(const std::string& ifo) { return ProgramChainOffset(ifo, 1); }

// Title 3's first audio control word (in its title set's first program chain).
size_t FirstAudioControl(const std::string& ifo) { return FirstProgramChain(ifo) + 0x0C; }

}  // namespace

void WriteIso(const std::string& discFolder, const std::string& isoPath, const std::string& logPath) {
  Run("genisoimage -quiet -dvd-video -udf -V OXBEL_TEST -o " + Quote(isoPath) + " " + Quote(discFolder), logPath);
}

void WriteDamagedCopy(const std::string& discFolder, const std::string& target) {
  fs::copy(discFolder, target, fs::copy_options::recursive);
  const std::string vob = target + "/VIDEO_TS/VTS_01_1.VOB";
  std::fstream file(vob, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(std::streamoff(kDamagedFirstSector) * kSectorBytes);
  const std::string zeros(size_t(kDamagedSectorCount) * kSectorBytes, '\0');
  file.write(zeros.data(), std::streamsize(zeros.size()));
  if (!file) throw std::runtime_error("cannot damage " + vob);
  const std::string set2 = target + "/VIDEO_TS/VTS_02_1.VOB";
  fs::resize_file(set2, fs::file_size(set2) / 2);
}

void WriteTruncatedCopy(const std::string& discFolder, const std::string& target) {
  fs::copy(discFolder, target, fs::copy_options::recursive);
  for (const char* name : {"VTS_02_0.IFO", "VTS_02_0.BUP"}) fs::resize_file(target + "/VIDEO_TS/" + name, 300);
}

void WriteBadChapterCopy(const std::string& discFolder, const std::string& target) {
  fs::copy(discFolder, target, fs::copy_options::recursive);
  PatchTitleSet(target, "VTS_01_0", ChapterTwoProgramChain, 9);
}

void WriteWideCopy(const std::string& discFolder, const std::string& target) {
  fs::copy(discFolder, target, fs::copy_options::recursive);
  for (const char* name : {"VTS_01_0.IFO", "VTS_01_0.BUP"}) {
    const std::string path = target + "/VIDEO_TS/" + name;
    std::string bytes = ReadFile(path);
    bytes.at(0x200) = char(bytes.at(0x200) | 0x0C);  // display aspect 16:9
    // Title 1's subtitle: 4:3 field 0, wide field kWideSubtitleStream, letterbox 2, pan and scan 3.
    const size_t control = FirstProgramChain(bytes) + 0x1C;
    const char word[4] = {char(0x80), char(kWideSubtitleStream), 2, 3};
    bytes.replace(control, 4, word, 4);
    WriteFile(path, bytes);
  }
  PatchTitleSet(target, "VTS_02_0", FirstAudioControl, 0);  // title 3's only audio stream switched off
}

void WriteLibraryCrashCopy(const std::string& discFolder, const std::string& target) {
  fs::copy(discFolder, target, fs::copy_options::recursive);
  PatchTitleSet(target, "VTS_01_0", ProgramChainCount, 0xC4);
}

}  // namespace test_dvd
