#pragma once

#include <dvdread/ifo_types.h>

namespace dvddec {

// Seconds of an IFO time: BCD hours, minutes, seconds and frames, the frame
// byte's two high bits giving the rate (3: 29.97, else 25). At 29.97 the
// h:m:s count seconds of 30 frames, so the total is scaled by 1.001.
// Returns a negative value when a digit is not BCD (a damaged table).
double DvdTimeSeconds(const dvd_time_t& time);

}  // namespace dvddec
