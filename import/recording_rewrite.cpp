#include "import/recording_rewrite.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "import/chapter.h"
#include "import/file_chapters.h"
#include "import/file_source.h"
#include "import/utf8.h"
#include "tracklist/platform.h"
#include "tracklist/write_steps.h"

namespace tarnix {
namespace {

// Room kept free beyond the new file's size, for the file system's own bookkeeping.
constexpr uint64_t kSpareBytes = 1 << 20;
// How often the progress is told, in bytes written.
constexpr uint64_t kProgressStepBytes = 4 << 20;

// The new file: counts what it took, tells the progress, and stops at the first failed write.
class NewFile : public ByteSink {
 public:
  NewFile(std::FILE* file, const RewriteProgress& progress, uint64_t originalSize, bool shortWrite)
      : file_(file), progress_(progress), originalSize_(originalSize), shortWrite_(shortWrite) {}

  bool Write(const void* bytes, size_t count) override {
    if (failed_) return false;
    if (shortWrite_ && written_ + count > originalSize_ / 2) {
      error_ = platform::FileErrorOf(FileError::kDiskFull);
      return Fail();
    }
    if (count > 0 && std::fwrite(bytes, 1, count, file_) != count) {
      error_ = platform::LastFileError();
      return Fail();
    }
    written_ += count;
    if (progress_ && written_ >= toldAt_ + kProgressStepBytes) {
      toldAt_ = written_;
      if (!progress_(written_, originalSize_)) {
        cancelled_ = true;
        return Fail();
      }
    }
    return true;
  }

  uint64_t Written() const { return written_; }
  bool Cancelled() const { return cancelled_; }
  const FileErrorCode& Error() const { return error_; }

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }

  std::FILE* file_;
  const RewriteProgress& progress_;
  uint64_t originalSize_;
  bool shortWrite_;
  uint64_t written_ = 0;
  uint64_t toldAt_ = 0;
  bool failed_ = false;
  bool cancelled_ = false;
  FileErrorCode error_;
};

std::string SystemWording(const FileErrorCode& error) {
  const TextString text = platform::SystemErrorText(error.system);
  return text.IsEmpty() ? std::string() : std::string(text.c_str());
}

RewriteResult Failure(RewriteOutcome outcome, std::string reason) { return {outcome, std::move(reason), {}}; }

// The outcome of a file operation that failed with `error`, worded for the listener.
RewriteResult FileFailure(const FileErrorCode& error, const std::string& what) {
  const std::string wording = SystemWording(error);
  const std::string reason = wording.empty() ? what : what + ": " + wording;
  switch (error.kind) {
    case FileError::kHeld:
      return Failure(RewriteOutcome::kHeld, "another program is using the file");
    case FileError::kReadOnly:
      return Failure(RewriteOutcome::kReadOnly, "the file is read-only");
    case FileError::kDiskFull:
      return Failure(RewriteOutcome::kNoRoom, "the disk is full");
    default:
      return Failure(RewriteOutcome::kFailed, reason);
  }
}

RewriteResult Refusal(const EmbedResult& result) {
  switch (result.status) {
    case EmbedStatus::kNotThisFormat:
      return Failure(RewriteOutcome::kRefused, "chapters cannot be written into files of this kind");
    case EmbedStatus::kDamaged:
      return Failure(RewriteOutcome::kRefused,
                     result.reason.empty() ? "the file is damaged" : "the file is damaged: " + result.reason);
    case EmbedStatus::kUnsupported:
      return Failure(RewriteOutcome::kRefused, result.reason);
    case EmbedStatus::kReadFailed:
      return Failure(RewriteOutcome::kFailed, "the file could not be read");
    default:
      return Failure(RewriteOutcome::kFailed, "the new file could not be written");
  }
}

// Writes the new file at `temporary`, forced onto the disk and closed; `size` is what it took.
RewriteResult WriteNewFile(const TextString& path, const TextString& temporary, const ChaptersToEmbed& chapters,
                           const ChapterWriter& writer, const RewriteProgress& progress, EmbedResult* written,
                           uint64_t* size) {
  FileSource original(path);
  if (!original.IsOpen()) return FileFailure(platform::LastFileError(), "the file could not be opened");
  const uint64_t free = platform::FreeBytesFor(temporary);
  if (free != UINT64_MAX && free < original.Size() + kSpareBytes)
    return Failure(RewriteOutcome::kNoRoom, "the disk has no room for a new copy of the file");

  if (const FileError met = ProbeWriteStep(WriteStep::kCreate, path.c_str()); met != FileError::kNone)
    return FileFailure(platform::FileErrorOf(met), "the new file could not be made");
  platform::File file(temporary, "wb");
  if (!file) return FileFailure(platform::LastFileError(), "the new file could not be made");
  const bool shortWrite = ProbeWriteStep(WriteStep::kWrite, path.c_str()) != FileError::kNone;
  NewFile sink(file.get(), progress, original.Size(), shortWrite);
  *written = writer(original, chapters, sink);
  if (sink.Cancelled()) return Failure(RewriteOutcome::kCancelled, "stopped");
  if (sink.Error().kind != FileError::kNone) return FileFailure(sink.Error(), "the new file could not be written");
  if (written->status != EmbedStatus::kWritten) return Refusal(*written);
  *size = sink.Written();

  // The replacement is a change of the folder, which a file system may put on the disk before
  // the new file's data: the data goes first.
  if (const FileError met = ProbeWriteStep(WriteStep::kFlush, path.c_str()); met != FileError::kNone)
    return FileFailure(platform::FileErrorOf(met), "the new file could not be put on the disk");
  if (!platform::FlushToDisk(file.get()))
    return FileFailure(platform::LastFileError(), "the new file could not be put on the disk");
  const FileError closeFault = ProbeWriteStep(WriteStep::kClose, path.c_str());
  if (!file.Close() || closeFault != FileError::kNone)
    return FileFailure(closeFault != FileError::kNone ? platform::FileErrorOf(closeFault) : platform::LastFileError(),
                       "the new file could not be closed");
  return {RewriteOutcome::kReplaced, {}, {}};
}

constexpr char kNotAsWritten[] = "the new file did not read back with the chapters written";

// Reads the new file as any later look-up will: its size and its chapters. Empty when it reads
// back as written; else why not.
std::string ReadBackFault(const TextString& path, const TextString& temporary, const ChaptersToEmbed& chapters,
                          uint64_t size) {
  if (ProbeWriteStep(WriteStep::kReadBack, path.c_str()) != FileError::kNone) return kNotAsWritten;
  FileSource check(temporary);
  if (!check.IsOpen() || check.Size() != size) return kNotAsWritten;
  ChapterSet readBack;
  const bool found = ReadFileChapters(check, &readBack);
  // Writing no chapters takes the old ones away, but not those of a kind the writers keep (a
  // FLAC file's CD cue sheet): the file would still show chapters, and the listener is told why.
  if (chapters.chapters.empty())
    return readBack.chapters.empty() ? std::string() : "the file keeps chapters of its own, such as a CD cue sheet";
  return found && SameChapters(chapters, readBack) ? std::string() : kNotAsWritten;
}

RewriteResult Rewrite(const TextString& path, const TextString& temporary, const ChaptersToEmbed& chapters,
                      const ChapterWriter& writer, const RewriteProgress& progress) {
  // The readers stop at the 999th chapter, so a longer list could never read back as written.
  if (chapters.chapters.size() > kMaxImportedChapters)
    return Failure(RewriteOutcome::kRefused,
                   "the list has more than 999 subtracks, and a file takes at most 999 chapters");
  if (platform::IsReadOnlyFile(path)) return Failure(RewriteOutcome::kReadOnly, "the file is read-only");
  EmbedResult written;
  uint64_t size = 0;
  RewriteResult result = WriteNewFile(path, temporary, chapters, writer, progress, &written, &size);
  if (result.outcome != RewriteOutcome::kReplaced) return result;
  if (std::string fault = ReadBackFault(path, temporary, chapters, size); !fault.empty())
    return Failure(RewriteOutcome::kFailed, std::move(fault));

  if (const FileError met = ProbeWriteStep(WriteStep::kReplace, path.c_str()); met != FileError::kNone)
    return FileFailure(platform::FileErrorOf(met), "the file could not be replaced");
  if (!platform::ReplaceExisting(temporary, path))
    return FileFailure(platform::LastFileError(), "the file could not be replaced");
  result.note = written.note;
  return result;
}

bool Within1Ms(int64_t a, int64_t b) { return a - b <= 1 && b - a <= 1; }

}  // namespace

bool SameChapters(const ChaptersToEmbed& written, const ChapterSet& readBack) {
  const auto& want = written.chapters;
  const auto& got = readBack.chapters;
  size_t skip = 0;
  // The MP4 writer adds one at 0 before a list that starts even a millisecond in.
  if (got.size() == want.size() + 1 && !want.empty() && want.front().timeMs > 0 && got.front().timeMs == 0) skip = 1;
  if (got.size() != want.size() + skip) return false;
  for (size_t i = 0; i < want.size(); ++i) {
    // The readers give a name back cleaned (blanks at its ends trimmed, tabs and control
    // characters as spaces, at most so many characters), whatever the file holds.
    if (!Within1Ms(got[i + skip].timeMs, want[i].timeMs) || got[i + skip].name != CleanName(want[i].name)) return false;
  }
  return true;
}

RewriteResult RewriteRecording(const TextString& path, const ChaptersToEmbed& chapters, const ChapterWriter& writer,
                               const RewriteProgress& progress) {
  const TextString temporary = path + ".tarnix-new";
  RewriteResult result;
  try {
    result = Rewrite(path, temporary, chapters, writer, progress);
  } catch (const std::bad_alloc&) {
    // A writer that runs out of memory on a large header leaves a partly written new file,
    // closed by now, which must not stay beside the recording.
    result = Failure(RewriteOutcome::kFailed, "not enough memory to write the chapters");
  } catch (const std::exception&) {
    // Nothing else in the writers is meant to throw; whatever does is a failure like any other,
    // and its new file goes the same way.
    result = Failure(RewriteOutcome::kFailed, "the chapters could not be written");
  }
  if (result.outcome != RewriteOutcome::kReplaced) platform::RemoveFile(temporary);
  return result;
}

}  // namespace tarnix
