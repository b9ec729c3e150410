#pragma once
// "Mark earlier by": how far before the playing time the global insert action places its
// subtrack, and what the new row's name says about it. The moment worth marking is gone by the
// time a key is pressed, so the mark can go a few seconds back. Win32-free, tested from tables.

#include <cstdint>
#include <string>

namespace tarnix {

constexpr int kMaxMarkEarlierSeconds = 60;
constexpr int kDefaultMarkEarlierSeconds = 0;

// A stored or typed value brought into 0..60.
int ClampMarkEarlier(long long seconds);

struct MarkedPlace {
  int32_t timeMs = 0;    // where the subtrack goes
  bool clamped = false;  // the track's start kept it from going as far back as asked
};

// The playing time less `seconds` (brought into 0..60), never before the track's start. A playing
// time already before the track's start is left as it is (the insert refuses it).
MarkedPlace PlaceMarkEarlier(int32_t playingMs, int32_t trackStartMs, int seconds);

// What the new row's name adds to say where it was placed: nothing for a mark at the playing
// time, " (marked 20 s earlier)", or " (marked at the track start)" when the start stopped it.
std::string MarkedNameNote(const MarkedPlace& place, int seconds);

}  // namespace tarnix
