#include "host/mark_earlier.h"

#include <algorithm>

namespace tarnix {

int ClampMarkEarlier(long long seconds) {
  return static_cast<int>(std::clamp<long long>(seconds, 0, kMaxMarkEarlierSeconds));
}

MarkedPlace PlaceMarkEarlier(int32_t playingMs, int32_t trackStartMs, int seconds) {
  MarkedPlace place;
  place.timeMs = playingMs;
  if (playingMs < trackStartMs) return place;
  const int64_t wanted = static_cast<int64_t>(playingMs) - static_cast<int64_t>(ClampMarkEarlier(seconds)) * 1000;
  place.clamped = wanted < trackStartMs;
  place.timeMs = place.clamped ? trackStartMs : static_cast<int32_t>(wanted);
  return place;
}

std::string MarkedNameNote(const MarkedPlace& place, int seconds) {
  if (place.clamped) return " (marked at the track start)";
  const int back = ClampMarkEarlier(seconds);
  if (back == 0) return std::string();
  return " (marked " + std::to_string(back) + " s earlier)";
}

}  // namespace tarnix
