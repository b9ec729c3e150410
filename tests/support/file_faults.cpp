#include "tests/support/file_faults.h"

#include <atomic>
#include <mutex>
#include <string>

#include "tracklist/write_steps.h"

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

WriteStep StepOf(FileFault fault) {
  switch (fault) {
    case FileFault::kMissingDirectory:
      return WriteStep::kCreate;
    case FileFault::kShortWrite:
      return WriteStep::kWrite;
    case FileFault::kFailedFlush:
      return WriteStep::kFlush;
    case FileFault::kFailedClose:
      return WriteStep::kClose;
    case FileFault::kFailedReadBack:
      return WriteStep::kReadBack;
    default:
      return WriteStep::kReplace;
  }
}

// What the step meets when the fault strikes it.
FileError ErrorOf(FileFault fault) {
  switch (fault) {
    case FileFault::kMissingDirectory:
      return FileError::kPathNotFound;
    case FileFault::kShortWrite:
      return FileError::kDiskFull;
    case FileFault::kReadOnlyTarget:
      return FileError::kReadOnly;
    case FileFault::kRefusedReplace:
    case FileFault::kHeldTarget:
      return FileError::kHeld;
    default:
      return FileError::kOther;
  }
}

// The probe the replacing writes ask before each step; each strike takes one from the count.
FileError Strike(WriteStep step, const char* target) {
  const auto current = static_cast<FileFault>(g_fault.load());
  if (current == FileFault::kNone || StepOf(current) != step || !Aimed(target)) return FileError::kNone;
  int left = g_count.load();
  if (left == 0) return FileError::kNone;
  if (left > 0) {
    // Several threads may write at once: each use takes one from the count.
    while (left > 0 && !g_count.compare_exchange_weak(left, left - 1)) {}
    if (left <= 0) return FileError::kNone;
  }
  return ErrorOf(current);
}

}  // namespace

void InjectFileFault(FileFault fault, int count, const char* onlyTarget) {
  {
    std::lock_guard<std::mutex> lock(g_targetLock);
    g_target = onlyTarget ? onlyTarget : "";
  }
  g_count.store(count);
  g_fault.store(static_cast<int>(fault));
  SetWriteStepProbe(Strike);
}

void ClearFileFault() { InjectFileFault(FileFault::kNone, 0); }

}  // namespace tarnix
