#pragma once

#include <memory>
#include <string>

#include "CellStream.h"
#include "DvdDisc.h"
#include "dvddec.h"

// An open title: its own disc handle (so readers on several threads never
// share one), the chosen chapters' cells and the byte stream over them.
struct DvdTitleReader {
  dvddec::Disc disc;
  dvddec::FileHandle vobs;
  std::unique_ptr<dvddec::BlockSource> source;
  dvddec::TitleCells title;
  std::unique_ptr<dvddec::CellStream> stream;
  DvdParam param{};
  double seconds = 0;  // IFO time of the chosen chapters
  DvdTitleInfo info{};  // the title's record
};

namespace dvddec {

// Opens chapters FromChapter..ToChapter (0: from the first; beyond the last:
// to the last) of title param.Title (from 0). nullptr, with the reason as the
// last error, when the DVD, the title or the chapter range cannot be used.
std::unique_ptr<DvdTitleReader> OpenTitleReader(const std::string& path, const DvdParam& param);

}  // namespace dvddec
