#include "tracklist/replacing_write.h"

#include <atomic>
#include <memory>

#include "tracklist/platform.h"
#include "tracklist/write_steps.h"

namespace tarnix {

namespace {

thread_local RetryWait t_wait = nullptr;
thread_local WriteResult t_last;
std::atomic<WriteStepProbe> g_probe{nullptr};

FileError Probe(WriteStep step, const TextString& path) { return ProbeWriteStep(step, path.c_str()); }

// Counts the waits for a held file and ends them when the budget is spent or the wait gives up.
class HeldFileWaits {
 public:
  explicit HeldFileWaits(int budgetMs) : budgetMs_(budgetMs) {}

  // Waits one step; false when the caller is to give up, with *error saying why.
  bool WaitAgain(FileErrorCode* error) {
    if (error->kind != FileError::kHeld || waitedMs_ + kHeldFileStepMs > budgetMs_) return false;
    const bool waited = t_wait ? t_wait(kHeldFileStepMs) : (platform::SleepMs(kHeldFileStepMs), true);
    if (!waited) {
      *error = platform::FileErrorOf(FileError::kInterrupted);
      return false;
    }
    waitedMs_ += kHeldFileStepMs;
    ++retries_;
    return true;
  }
  int Retries() const { return retries_; }

 private:
  int budgetMs_;
  int waitedMs_ = 0;
  int retries_ = 0;
};

FileErrorCode CreateTemporary(const TextString& path, const TextString& temporary, HeldFileWaits* waits,
                              std::unique_ptr<platform::File>* file) {
  for (;;) {
    const FileError met = Probe(WriteStep::kCreate, path);
    if (met != FileError::kNone) return platform::FileErrorOf(met);
    *file = std::make_unique<platform::File>(temporary, "wb");
    if (**file) return {};
    FileErrorCode error = platform::LastFileError();
    if (!waits->WaitAgain(&error)) return error;
  }
}

FileErrorCode WriteAndClose(const TextString& path, platform::File* file, std::string_view bytes) {
  const FileError shortWrite = Probe(WriteStep::kWrite, path);
  const bool short_write = shortWrite != FileError::kNone;
  const size_t wanted = short_write ? bytes.size() / 2 : bytes.size();
  FileErrorCode error;
  if (std::fwrite(bytes.data(), 1, wanted, file->get()) != wanted) error = platform::LastFileError();
  if (short_write) error = platform::FileErrorOf(shortWrite);
  // The replacement below is a change of the directory, which file systems may put on the disk
  // before the new file's data: a power cut between the two would leave an empty or partial file
  // where a whole one was. The data goes to the disk first; a flush that fails counts as a
  // failed write, and the old file stays.
  if (error.kind == FileError::kNone) {
    const FileError flushFault = Probe(WriteStep::kFlush, path);
    if (flushFault != FileError::kNone) {
      error = platform::FileErrorOf(flushFault);
    } else if (!platform::FlushToDisk(file->get())) {
      error = platform::LastFileError();
    }
  }
  const FileError closeFault = Probe(WriteStep::kClose, path);
  // Buffered data meets a full disk only when it is flushed by the close.
  if (!file->Close() && error.kind == FileError::kNone) error = platform::LastFileError();
  if (closeFault != FileError::kNone && error.kind == FileError::kNone) error = platform::FileErrorOf(closeFault);
  return error;
}

FileErrorCode ReplaceTarget(const TextString& temporary, const TextString& path, HeldFileWaits* waits) {
  for (;;) {
    FileErrorCode error;
    bool readOnly = false;
    const FileError met = Probe(WriteStep::kReplace, path);
    if (met != FileError::kNone) {
      error = platform::FileErrorOf(met);
      readOnly = met == FileError::kReadOnly;
    } else if (platform::IsReadOnlyFile(path)) {
      // Marked read-only by its owner: kept on every system (some would replace it), and no
      // wait would end that.
      readOnly = true;
    } else if (platform::ReplaceExisting(temporary, path)) {
      return {};
    } else {
      error = platform::LastFileError();
    }
    if (readOnly) error = platform::FileErrorOf(FileError::kReadOnly);
    if (!waits->WaitAgain(&error)) return error;
  }
}

WriteResult Write(const TextString& path, std::string_view bytes, int heldBudgetMs) {
  if (path.IsEmpty()) return {platform::FileErrorOf(FileError::kPathNotFound)};
  const TextString temporary = path + ".tmp";
  HeldFileWaits waits(heldBudgetMs);
  std::unique_ptr<platform::File> file;
  FileErrorCode error = CreateTemporary(path, temporary, &waits, &file);
  if (error.kind != FileError::kNone) return {error, waits.Retries()};
  error = WriteAndClose(path, file.get(), bytes);
  if (error.kind == FileError::kNone) error = ReplaceTarget(temporary, path, &waits);
  if (error.kind != FileError::kNone) platform::RemoveFile(temporary);
  return {error, waits.Retries()};
}

}  // namespace

TextString WriteResult::Reason() const {
  if (Ok()) return TextString();
  return platform::SystemErrorText(error.system);
}

WriteStepProbe SetWriteStepProbe(WriteStepProbe probe) { return g_probe.exchange(probe); }

FileError ProbeWriteStep(WriteStep step, const char* target) {
  const WriteStepProbe probe = g_probe.load();
  return probe ? probe(step, target) : FileError::kNone;
}

RetryWait SetRetryWait(RetryWait wait) {
  const RetryWait previous = t_wait;
  t_wait = wait;
  return previous;
}

std::FILE* OpenForReadingAfterHold(const TextString& path, FileErrorCode* error) {
  HeldFileWaits waits(kHeldFileBudgetMs);
  for (;;) {
    if (std::FILE* file = platform::OpenFile(path, "rb")) return file;
    *error = platform::LastFileError();
    if (!waits.WaitAgain(error)) return nullptr;
  }
}

WriteResult WriteReplacing(const TextString& path, std::string_view bytes, int heldBudgetMs) {
  t_last = Write(path, bytes, heldBudgetMs);
  return t_last;
}

const WriteResult& LastWriteResult() { return t_last; }

void ClearLastWriteResult() { t_last = WriteResult{}; }

}  // namespace tarnix
