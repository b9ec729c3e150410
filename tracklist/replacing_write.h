#pragma once
// The one way this code replaces a stored file: write "<path>.tmp", check the write and the
// close, then put it in the target's place in one step. Another program that holds the target
// open for a moment (a virus scanner, a sync client) is waited out; a thread with a window
// installs a wait that keeps it painting and gives up when the program ends.

#include <cstdio>
#include <string_view>

#include "tracklist/file_errors.h"
#include "tracklist/text_string.h"

namespace tarnix {

// A held file is tried again for about this long, in steps of the second.
constexpr int kHeldFileBudgetMs = 2000;
constexpr int kHeldFileStepMs = 50;

struct WriteResult {
  FileErrorCode error;
  int retries = 0;  // attempts that met a held file and were tried again

  bool Ok() const { return error.kind == FileError::kNone; }
  // The system's wording of the failure, for the message to the user; empty on success.
  TextString Reason() const;
};

// Waits between two attempts; false ends the attempts at once (the program is ending).
using RetryWait = bool (*)(int milliseconds);

// Installs the calling thread's wait and returns the one it replaces; null sleeps plainly.
RetryWait SetRetryWait(RetryWait wait);

// Opens `path` for reading, waiting out another program's hold as the writes do (with the
// thread's wait, at most kHeldFileBudgetMs). Null when it cannot, with *error saying why.
std::FILE* OpenForReadingAfterHold(const TextString& path, FileErrorCode* error);

// Replaces `path` with `bytes`. On any failure the old file stays as it was and the temporary
// file is removed. A held file or temporary file is tried again until `heldBudgetMs` have been
// waited (0: one attempt only).
WriteResult WriteReplacing(const TextString& path, std::string_view bytes, int heldBudgetMs = kHeldFileBudgetMs);

// The outcome of the calling thread's last WriteReplacing, for callers that learnt only
// success or failure from the layer in between.
const WriteResult& LastWriteResult();
// Sets it to success, so that a failure found before any write (no path) shows no stale reason.
void ClearLastWriteResult();

}  // namespace tarnix
