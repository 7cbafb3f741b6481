// Authors the test DVDs (when missing) and prints where they are.
#include <cstdio>
#include <exception>

#include "TestDvd.h"

int main() {
  try {
    using test_dvd::Disc;
    for (Disc disc : {Disc::Folder, Disc::Iso, Disc::Damaged, Disc::TruncatedIfo, Disc::BadChapterTable, Disc::LibraryCrash,
                      Disc::Wide, Disc::WideSubtitles, Disc::Interlaced, Disc::Film, Disc::Protected,
                      Disc::TwoSubtitles})
      std::printf("%s\n", test_dvd::Path(disc).c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
