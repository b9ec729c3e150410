#pragma once
// Turns what the highlight benchmark observed into one error per subtrack boundary: when the
// plug-in's playing row changed, minus when the player's clock reached the boundary.
//
// The playing row is polled (UM_GET_CURRENT_KEY) from a thread of its own; a change lies
// between the poll that still saw the old key and the first that saw the new one. The plug-in
// decides on the row right after it asked the player for the position (code 105), so the last
// such request inside that window, from the stand-in player's request log, dates the change to
// the millisecond. Without one the middle of the window is used and the result is marked.

#include <cstdint>
#include <vector>

namespace tarnix::bench {

// One poll of the playing row's key: sent and answered, on the shared steady clock.
struct KeySample {
  std::int64_t sentAt;
  std::int64_t answeredAt;
  std::int32_t key;
};

// A boundary: the key of the row that starts there, and the steady time at which the player's
// clock reached it.
struct Boundary {
  std::int32_t key;
  std::int64_t at;
};

struct BoundaryError {
  std::int32_t key = 0;
  bool seen = false;   // some poll saw the key
  bool dated = false;  // dated by a position request (else by the poll window)
  std::int64_t errorMs = 0;
};

// `positionRequests`: steady times of the plug-in's position requests, ascending.
std::vector<BoundaryError> MatchBoundaries(const std::vector<KeySample>& samples,
                                           const std::vector<Boundary>& boundaries,
                                           const std::vector<std::int64_t>& positionRequests);

struct ErrorSummary {
  int boundaries = 0;
  int seen = 0;
  int dated = 0;
  int withinGoal = 0;
  std::int64_t min = 0;
  std::int64_t max = 0;
  double mean = 0;
  std::int64_t p95 = 0;  // of the absolute errors
};

ErrorSummary Summarise(const std::vector<BoundaryError>& errors, std::int64_t goalLow, std::int64_t goalHigh);

}  // namespace tarnix::bench
