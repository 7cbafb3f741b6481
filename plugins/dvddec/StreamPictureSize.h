#pragma once

#include <dvdread/dvd_reader.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "TitleLayout.h"

namespace dvddec {

struct PictureSize {
  int width = 0, height = 0;
};

// The picture size of the first MPEG video sequence header in `bytes`, or
// nothing when none lies wholly inside them.
std::optional<PictureSize> SequenceHeaderSize(const std::uint8_t* bytes, std::size_t size);

// The picture size the title's video stream itself declares in the first
// sectors of `cell`. Authoring tools disagree on where the IFO's resolution
// field sits, so a half-D1 or CIF title may be listed with a wrong height;
// the stream's own header is what the decoder will deliver.
std::optional<PictureSize> StreamPictureSize(dvd_file_t& vobs, const Cell& cell);

}  // namespace dvddec
