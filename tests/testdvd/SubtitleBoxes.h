#pragma once

#include <functional>

#include "TestDvd.h"

namespace test_dvd {

// Whether a picture shows a subtitle box of the WideSubtitles disc: the luma
// inside it (less the subtitle picture's transparent margin and black frame)
// is flat, where the test pattern's gradient spreads widely. `luma` gives the
// picture's luma at x, y.
bool ShowsBox(const std::function<double(int x, int y)>& luma, const Box& box);

}  // namespace test_dvd
