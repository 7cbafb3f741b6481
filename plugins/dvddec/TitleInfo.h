#pragma once

#include <dvdread/ifo_types.h>

#include "TitleLayout.h"
#include "dvddec.h"

namespace dvddec {

// Seconds of the given chapters' cells.
double ChaptersSeconds(const TitleLayout& layout, int firstChapter, int lastChapter);

// Fills the record (zeroed first) from the title's layout and its title set's
// attributes: duration, video, the streams the program chain enables, chapters.
void FillTitleInfo(const TitleLayout& layout, const vtsi_mat_t& titleSet, DvdTitleInfo& info);

}  // namespace dvddec
