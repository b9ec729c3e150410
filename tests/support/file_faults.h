#pragma once
// Faults made on purpose in the writers' file operations, so that tests can see every write
// path fail the way a full disk, a failing device or another program's hold makes it fail. The
// faulty step still touches the real files as far as the fault lets it (a short write leaves a
// short temporary file), so a test sees what the writer leaves behind. Test-only: it plugs into
// the replacing writes' probe (tracklist/write_steps.h), and the DLL never links it.

namespace tarnix {

enum class FileFault {
  kNone,
  kShortWrite,        // the write stops half-way: the disk is full
  kFailedClose,       // the data cannot be flushed when the file is closed
  kFailedFlush,       // the data cannot be forced from the system's cache onto the disk
  kRefusedReplace,    // every replacement of the target is refused, as by a hold that never ends
  kReadOnlyTarget,    // the target is marked read-only
  kMissingDirectory,  // the directory of the target is gone
  kHeldTarget,        // the replacement is refused for `count` attempts, then allowed
  kFailedReadBack,    // a rewritten recording does not read back as written
};

// Makes the next `count` writes (for kHeldTarget: replacement attempts) meet `fault`; a count
// below 0 keeps the fault until it is cleared. Applies to every thread of the process, to the
// writes of `onlyTarget` when one is given (the file written, not its temporary file).
void InjectFileFault(FileFault fault, int count = -1, const char* onlyTarget = nullptr);
void ClearFileFault();

// Sets a fault for one scope and clears it at the end.
class ScopedFileFault {
 public:
  explicit ScopedFileFault(FileFault fault, int count = -1, const char* onlyTarget = nullptr) {
    InjectFileFault(fault, count, onlyTarget);
  }
  ~ScopedFileFault() { ClearFileFault(); }
  ScopedFileFault(const ScopedFileFault&) = delete;
  ScopedFileFault& operator=(const ScopedFileFault&) = delete;
};

}  // namespace tarnix
