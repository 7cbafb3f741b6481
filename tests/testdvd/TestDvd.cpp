#include "TestDvd.h"

#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "DiscCopies.h"
#include "DvdAuthoring.h"
#include "ProtectedDisc.h"
#include "media/MediaLoader.h"

namespace test_dvd {
namespace {
namespace fs = std::filesystem;

// Raised whenever the discs change, so build trees author them anew.
constexpr int kDiscSetVersion = 10;

std::string DiscSetFolder() { return OXBEL_TESTDVD_DIR "-" + std::to_string(kDiscSetVersion); }

void LoadLibraries() {
  auto& loader = TMediaLoader::instance();
  if (!loader.isSetLoaded(kEngineLibraries) && !loader.loadSet(kEngineLibraries))
    throw std::runtime_error("load media libraries: " + loader.lastError());
}

void AuthorAll(const std::string& folder) {
  const std::string work = folder + "/work";
  fs::create_directories(work);
  LoadLibraries();
  AuthorDisc(work, folder + "/disc");
  WriteIso(folder + "/disc", folder + "/disc.iso", work + "/genisoimage.log");
  WriteDamagedCopy(folder + "/disc", folder + "/damaged");
  WriteTruncatedCopy(folder + "/disc", folder + "/truncated");
  WriteBadChapterCopy(folder + "/disc", folder + "/badchapter");
  WriteLibraryCrashCopy(folder + "/disc", folder + "/librarycrash");
  WriteWideCopy(folder + "/disc", folder + "/wide");
  AuthorWideSubtitleDisc(work + "/widesubtitles", folder + "/widesubtitles");
  AuthorInterlacedDisc(work + "/interlaced", folder + "/interlaced");
  AuthorFilmDisc(work + "/film", folder + "/film");
  AuthorProtectedDisc(work + "/protected", folder + "/protected");
  AuthorTwoSubtitlesDisc(work + "/twosubtitles", folder + "/twosubtitles");
}

// Authors into a folder private to this process and renames it into place, so
// a concurrent user sees either no discs or all of them.
void EnsureDiscs() {
  const fs::path folder = DiscSetFolder();
  if (fs::exists(folder)) return;
  const fs::path partial = folder.string() + "." + std::to_string(::getpid()) + ".part";
  fs::remove_all(partial);
  try {
    AuthorAll(partial);
    std::error_code raced;
    fs::rename(partial, folder, raced);
    if (raced) fs::remove_all(partial);
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    throw;
  }
}

std::mutex& GenerationLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::string Path(Disc disc) {
  {
    const std::lock_guard guard(GenerationLock());
    EnsureDiscs();
  }
  const std::string folder = DiscSetFolder();
  switch (disc) {
    case Disc::Folder: return folder + "/disc";
    case Disc::Iso: return folder + "/disc.iso";
    case Disc::Damaged: return folder + "/damaged";
    case Disc::TruncatedIfo: return folder + "/truncated";
    case Disc::BadChapterTable: return folder + "/badchapter";
    case Disc::LibraryCrash: return folder + "/librarycrash";
    case Disc::Wide: return folder + "/wide";
    case Disc::WideSubtitles: return folder + "/widesubtitles";
    case Disc::TwoSubtitles: return folder + "/twosubtitles";
    case Disc::Interlaced: return folder + "/interlaced";
    case Disc::Film: return folder + "/film";
    case Disc::Protected: return folder + "/protected";
  }
  throw std::logic_error("unknown test disc");
}

}  // namespace test_dvd
