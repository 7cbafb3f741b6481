#pragma once

#include "MediaWriter.h"
#include "TestMedia.h"

namespace test_media {

// How an encoded kind is written; throws std::logic_error for the kinds that
// are not encoded (hand-written or derived files).
MediaSpec Recipe(Kind kind);

}  // namespace test_media
