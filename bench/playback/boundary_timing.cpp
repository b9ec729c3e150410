#include "bench/playback/boundary_timing.h"

#include <algorithm>
#include <cstdlib>

namespace tarnix::bench {

std::vector<BoundaryError> MatchBoundaries(const std::vector<KeySample>& samples,
                                           const std::vector<Boundary>& boundaries,
                                           const std::vector<std::int64_t>& positionRequests) {
  std::vector<BoundaryError> errors;
  size_t from = 0;  // samples before this one belong to earlier boundaries
  for (const Boundary& boundary : boundaries) {
    BoundaryError error;
    error.key = boundary.key;
    size_t i = from;
    while (i < samples.size() && samples[i].key != boundary.key) ++i;
    if (i < samples.size()) {
      error.seen = true;
      // The change happened after the previous poll was sent and before this one was answered.
      const std::int64_t windowStart = i > 0 ? samples[i - 1].sentAt : samples[i].sentAt - 1;
      const std::int64_t windowEnd = samples[i].answeredAt;
      auto last = std::upper_bound(positionRequests.begin(), positionRequests.end(), windowEnd);
      if (last != positionRequests.begin() && *(last - 1) >= windowStart) {
        error.dated = true;
        error.errorMs = *(last - 1) - boundary.at;
      } else {
        error.errorMs = (windowStart + windowEnd) / 2 - boundary.at;
      }
      from = i + 1;
    }
    errors.push_back(error);
  }
  return errors;
}

ErrorSummary Summarise(const std::vector<BoundaryError>& errors, std::int64_t goalLow, std::int64_t goalHigh) {
  ErrorSummary summary;
  summary.boundaries = static_cast<int>(errors.size());
  std::vector<std::int64_t> absolute;
  double sum = 0;
  for (const BoundaryError& e : errors) {
    if (!e.seen) continue;
    if (summary.seen == 0) {
      summary.min = summary.max = e.errorMs;
    } else {
      summary.min = std::min(summary.min, e.errorMs);
      summary.max = std::max(summary.max, e.errorMs);
    }
    ++summary.seen;
    if (e.dated) ++summary.dated;
    if (e.errorMs >= goalLow && e.errorMs <= goalHigh) ++summary.withinGoal;
    sum += static_cast<double>(e.errorMs);
    absolute.push_back(std::llabs(e.errorMs));
  }
  if (summary.seen > 0) {
    summary.mean = sum / summary.seen;
    std::sort(absolute.begin(), absolute.end());
    // Nearest-rank percentile.
    const size_t rank = (absolute.size() * 95 + 99) / 100;
    summary.p95 = absolute[std::max<size_t>(rank, 1) - 1];
  }
  return summary;
}

}  // namespace tarnix::bench
