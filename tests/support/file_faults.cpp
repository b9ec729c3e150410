#include "tracklist/file_faults.h"

#include <atomic>
#include <mutex>
#include <string>

namespace tarnix {

namespace {

std::atomic<int> g_fault{static_cast<int>(FileFault::kNone)};
std::atomic<int> g_count{0};
std::mutex g_targetLock;
std::string g_target;  // empty: every target

bool Aimed(const char* target) {
  std::lock_guard<std::mutex> lock(g_targetLock);
  return g_target.empty() || (target && g_target == target);
}

detail::WriteStep StepOf(FileFault fault) {
  switch (fault) {
    case FileFault::kMissingDirectory:
      return detail::WriteStep::kCreate;
    case FileFault::kShortWrite:
      return detail::WriteStep::kWrite;
    case FileFault::kFailedFlush:
      return detail::WriteStep::kFlush;
    case FileFault::kFailedClose:
      return detail::WriteStep::kClose;
    default:
      return detail::WriteStep::kReplace;
  }
}

}  // namespace

void InjectFileFault(FileFault fault, int count, const char* onlyTarget) {
  {
    std::lock_guard<std::mutex> lock(g_targetLock);
    g_target = onlyTarget ? onlyTarget : "";
  }
  g_count.store(count);
  g_fault.store(static_cast<int>(fault));
}

void ClearFileFault() { InjectFileFault(FileFault::kNone, 0); }

namespace detail {

bool FaultAt(WriteStep step, const char* target, FileFault* fault) {
  const auto current = static_cast<FileFault>(g_fault.load());
  if (current == FileFault::kNone || StepOf(current) != step || !Aimed(target)) return false;
  int left = g_count.load();
  if (left == 0) return false;
  if (left > 0) {
    // Several threads may write at once: each use takes one from the count.
    while (left > 0 && !g_count.compare_exchange_weak(left, left - 1)) {}
    if (left <= 0) return false;
  }
  *fault = current;
  return true;
}

}  // namespace detail
}  // namespace tarnix
