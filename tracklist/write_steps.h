#pragma once
// The seam where a test build makes the replacing writes fail on purpose: before each step of a
// write, WriteReplacing (and the rewrite of a recording) asks the installed probe what the step
// meets. The plug-in installs none;
// tests plug in tests/support/file_faults.h, which the DLL never links.

#include "tracklist/file_errors.h"

namespace tarnix {

// The steps of a replacing write, in their order.
enum class WriteStep { kCreate, kWrite, kFlush, kClose, kReadBack, kReplace };

// Asked before `step` of a write of `target` (the file written, not its temporary file), on any
// thread: FileError::kNone lets the step run as it would; any other kind is the failure the step
// meets instead (kWrite: the write stops half-way; kReplace with kReadOnly: a read-only target).
using WriteStepProbe = FileError (*)(WriteStep step, const char* target);

// Installs `probe` for every thread and returns the one it replaces; null asks nothing.
WriteStepProbe SetWriteStepProbe(WriteStepProbe probe);

// What `step` of the write of `target` meets: kNone unless a test installed a probe.
FileError ProbeWriteStep(WriteStep step, const char* target);

}  // namespace tarnix
