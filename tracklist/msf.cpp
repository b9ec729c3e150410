#include "tracklist/msf.h"

#include <climits>

namespace tarnix {

Msf MsfFromTime(int32_t ms) {
  Msf msf;
  msf.minutes = ms / 60000;
  msf.seconds = (ms / 1000) % 60;
  // In 64 bits: 75 x (ms mod 1000) cannot overflow anyway, but keep the rounding exact.
  msf.frames = static_cast<int32_t>((int64_t{kFramesPerSecond} * (ms % 1000) + 500) / 1000);
  return msf;
}

int64_t TimeFromMsf64(int64_t minutes, int64_t seconds, int64_t frames) {
  return minutes * 60000 + seconds * 1000 + (frames * 1000 + 37) / kFramesPerSecond;
}

int32_t TimeFromMsf(int32_t minutes, int32_t seconds, int32_t frames) {
  const int64_t t = TimeFromMsf64(minutes, seconds, frames);
  if (t > INT32_MAX) return INT32_MAX;
  if (t < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(t);
}

}  // namespace tarnix
