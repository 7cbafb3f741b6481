#pragma once

#include <cstdint>
#include <string>

// What the trim editor's "Ok" stores for marks on a source (microseconds):
// the part from start to end when that is a proper part of the source, the
// whole source otherwise. A length within 1 ms of the whole, or under 1 ms,
// stores no length (to the end).
struct TrimChoice {
  std::int64_t trimStart = 0;
  std::int64_t trimLength = 0;  // 0: to the end of the source
  std::int64_t shownLength = 0;  // what the job's row shows
};

TrimChoice ChooseTrim(std::int64_t start, std::int64_t end, std::int64_t duration);

// "   H:MM:SS", the length as the job list's row shows it.
std::string TrimRowText(std::int64_t microseconds);
