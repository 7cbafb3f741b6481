#include "DvdTime.h"

namespace dvddec {
namespace {

// -1 when either digit is out of range.
int Bcd(unsigned value) {
  const unsigned high = value >> 4, low = value & 0x0F;
  return high > 9 || low > 9 ? -1 : int(high * 10 + low);
}

}  // namespace

double DvdTimeSeconds(const dvd_time_t& time) {
  const int hours = Bcd(time.hour), minutes = Bcd(time.minute), seconds = Bcd(time.second);
  const int frames = Bcd(time.frame_u & 0x3F);
  if (hours < 0 || minutes < 0 || seconds < 0 || frames < 0) return -1;
  const long whole = (hours * 60L + minutes) * 60L + seconds;
  if ((time.frame_u >> 6) == 3) return double(whole * 30 + frames) * 1001.0 / 30000.0;
  return double(whole) + frames / 25.0;
}

}  // namespace dvddec
