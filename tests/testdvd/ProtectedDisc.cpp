#include "ProtectedDisc.h"

#include <filesystem>
#include <vector>

#include "IfoBytes.h"
#include "MediaWriter.h"
#include "Recipes.h"
#include "Shell.h"
#include "TestDvd.h"

namespace test_dvd {
namespace {

constexpr size_t kCellPlaybackBytes = 24, kCellPositionBytes = 4;
constexpr size_t kCellTimeHours = 4;  // the BCD hours byte within a cell's playback entry

// A fake title: the main title's cells (from 1) it plays, and whether each
// claims two more hours than it lasts.
struct Fake {
  int title;
  std::vector<int> cells;
  bool implausible = false;
};

// Out of order, looped, whole copies and one of implausible length, some
// listed before the main title as protected discs do.
const std::vector<Fake>& Fakes() {
  static const std::vector<Fake> fakes = {
      {1, {2, 1, 4, 3}},  {2, {1, 1, 1, 1}},  {3, {1, 2, 3, 4}, true}, {6, {1, 2, 3, 4}}, {7, {4, 3, 2, 1}},
      {8, {3, 1, 4, 2}},  {9, {2, 2, 2, 2}},  {10, {1, 2, 1, 2}},      {11, {3, 3, 3, 3}}, {12, {1, 3, 2, 4}},
      {13, {4, 4, 4, 4}}, {14, {2, 3, 4, 1}}, {15, {1, 2, 3, 4}},      {16, {4, 1, 2, 3}}};
  return fakes;
}

test_media::MediaSpec SmallPalSource(double seconds) {
  test_media::MediaSpec spec = test_media::Recipe(test_media::Kind::DvdPalMpeg2Ac3);
  spec.seconds = seconds;
  spec.video->width = 352;
  spec.video->height = 288;
  spec.audio->toneHz = kEnglishHz;
  return spec;
}

std::string Project(const std::string& work, const std::string& discFolder) {
  std::string pgcs;
  for (int title = 1; title <= kProtectedTitleCount; ++title) {
    const bool bonus = title == kProtectedBonusTitle;
    pgcs += "    <pgc><vob file=\"" + work + (bonus ? "/bonus.mpg\" chapters=\"0\"" : "/main.mpg\" chapters=\"0,1.2,2.4,3.6\"") +
            "/></pgc>\n";
  }
  return "<dvdauthor dest=\"" + discFolder + "\">\n  <vmgm/>\n"
         "  <titleset><titles>\n"
         "    <video format=\"pal\" aspect=\"4:3\" resolution=\"352x288\"/>\n"
         "    <audio format=\"ac3\" lang=\"en\"/>\n" + pgcs +
         "  </titles></titleset>\n"
         "</dvdauthor>\n";
}

// Entry `index` (from 0) of a program chain's cell playback table (whose
// offset is at 0xE8) or cell position table (at 0xEA).
size_t CellPlayback(const std::string& ifo, size_t chain, size_t index) {
  return chain + BigEndian(ifo, chain + 0xE8, 2) + index * kCellPlaybackBytes;
}
size_t CellPosition(const std::string& ifo, size_t chain, size_t index) {
  return chain + BigEndian(ifo, chain + 0xEA, 2) + index * kCellPositionBytes;
}

// Rewrites the fake's cell tables with copies of the main title's entries.
void PatchFake(std::string& ifo, const Fake& fake) {
  const size_t main = ProgramChainOffset(ifo, kProtectedMainTitle);
  const size_t copy = ProgramChainOffset(ifo, fake.title);
  for (size_t i = 0; i < fake.cells.size(); ++i) {
    const size_t cell = size_t(fake.cells[i] - 1);
    const std::string playback = ifo.substr(CellPlayback(ifo, main, cell), kCellPlaybackBytes);
    const std::string position = ifo.substr(CellPosition(ifo, main, cell), kCellPositionBytes);
    ifo.replace(CellPlayback(ifo, copy, i), kCellPlaybackBytes, playback);
    ifo.replace(CellPosition(ifo, copy, i), kCellPositionBytes, position);
    if (fake.implausible) ifo[CellPlayback(ifo, copy, i) + kCellTimeHours] = 0x02;
  }
}

}  // namespace

void AuthorProtectedDisc(const std::string& work, const std::string& discFolder) {
  std::filesystem::create_directories(work);
  test_media::WriteMedia(SmallPalSource(kProtectedMainSeconds), work + "/main.mpg");
  test_media::WriteMedia(SmallPalSource(kProtectedBonusSeconds), work + "/bonus.mpg");
  WriteFile(work + "/dvd.xml", Project(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL dvdauthor -x dvd.xml", work + "/dvdauthor.log");
  for (const char* name : {"/VIDEO_TS/VTS_01_0.IFO", "/VIDEO_TS/VTS_01_0.BUP"}) {
    std::string ifo = ReadFile(discFolder + name);
    for (const Fake& fake : Fakes()) PatchFake(ifo, fake);
    WriteFile(discFolder + name, ifo);
  }
}

}  // namespace test_dvd
