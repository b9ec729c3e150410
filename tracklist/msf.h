#pragma once
// Conversions between play times in milliseconds and the minutes/seconds/frames (75 per
// second) that lists show, edit and store. Nothing else converts times.

#include <cstdint>

namespace tarnix {

constexpr int kFramesPerSecond = 75;

// Minutes, seconds and frames of one time; frames are rounded and so reach 75.
struct Msf {
  int32_t minutes;
  int32_t seconds;
  int32_t frames;
};

Msf MsfFromTime(int32_t ms);

// minutes x 60000 + seconds x 1000 + (frames x 1000 + 37) / 75. Seconds and frames have no
// upper limit. Computed in 64 bits so that no input overflows.
int64_t TimeFromMsf64(int64_t minutes, int64_t seconds, int64_t frames);
// The same, for values known to fit (results outside 32 bits are clamped).
int32_t TimeFromMsf(int32_t minutes, int32_t seconds, int32_t frames);

}  // namespace tarnix
