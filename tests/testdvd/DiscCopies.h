#pragma once

#include <string>

namespace test_dvd {

// A UDF image of the disc folder, as libdvdread needs it.
void WriteIso(const std::string& discFolder, const std::string& isoPath, const std::string& logPath);

// A copy of the disc folder whose first title set's VOB has kDamagedSectorCount
// zeroed sectors from kDamagedFirstSector, and whose second title set's VOB
// lost its second half.
void WriteDamagedCopy(const std::string& discFolder, const std::string& target);

// A copy of the disc folder whose second title set's IFO and its backup are cut
// short, so that title set cannot be read.
void WriteTruncatedCopy(const std::string& discFolder, const std::string& target);

// A copy of the disc folder whose title set 1 tables (IFO and backup) send
// title 1's second chapter to a program chain that does not exist.
void WriteBadChapterCopy(const std::string& discFolder, const std::string& target);

// A copy of the disc folder whose title set 1 is 16:9 and whose title 1
// subtitle names stream kWideSubtitleStream in the control word's 16:9 field
// (and 0 in its 4:3 field, as commercial 16:9 discs have it), and whose title 3
// has its only audio stream switched off in its program chain (no audio).
void WriteWideCopy(const std::string& discFolder, const std::string& target);

// A copy of the disc folder whose title set 1 tables claim 196 program chains:
// libdvdread's table reading crashes on it.
void WriteLibraryCrashCopy(const std::string& discFolder, const std::string& target);

}  // namespace test_dvd
