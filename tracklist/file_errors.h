#pragma once
// Why a file operation failed, in the few kinds the writers act on, with the system's own code
// and wording kept for the message to the user. The system-specific half lives beside the
// platform seam (file_errors_win32.cpp, file_errors_posix.cpp).

#include "tracklist/text_string.h"

namespace tarnix {

enum class FileError {
  kNone,
  kHeld,          // another program has the file open and refuses to share it: worth waiting for
  kReadOnly,      // the target is marked read-only
  kDiskFull,      // the write came up short
  kPathNotFound,  // the directory is missing
  kInterrupted,   // the wait for a held file was cut short because the program ends
  kOther,
};

struct FileErrorCode {
  FileError kind = FileError::kNone;
  int system = 0;  // the system's code (GetLastError, errno); 0 when the system gave none
};

namespace platform {

// The calling thread's last system error, classified.
FileErrorCode LastFileError();
// A system code that stands for `kind`, as the system would give it (for faults made on purpose).
FileErrorCode FileErrorOf(FileError kind);
// The system's wording of `code` in the ANSI code page, without a trailing line break; empty
// when the system has none.
TextString SystemErrorText(int code);
// Whether the file exists and is marked read-only.
bool IsReadOnlyFile(const TextString& path);
// Blocks the calling thread; the writers' wait when no other is installed.
void SleepMs(int milliseconds);

}  // namespace platform
}  // namespace tarnix
