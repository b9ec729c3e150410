#pragma once
// Putting chapters into a recording without ever leaving a broken file. The new file is written
// whole beside the old one ("<path>.tarnix-new"), forced onto the disk, read back and its chapters
// compared with the list; only then does it take the old one's place, in one step. At every moment
// the file under the recording's name is the old one or the whole new one, and any failure
// removes the new file and leaves the old one byte for byte.

#include <cstdint>
#include <functional>
#include <string>

#include "import/chapter_embedding.h"
#include "tracklist/file_errors.h"
#include "tracklist/text_string.h"

namespace tarnix {

enum class RewriteOutcome {
  kReplaced,   // the recording now carries the chapters
  kRefused,    // the writer would not write this file (its format, its damage, a form it won't guess)
  kReadOnly,   // the recording is marked read-only
  kNoRoom,     // the disk has no room for the new file beside the old one
  kHeld,       // another program (the player) holds the recording: worth trying again when it lets go
  kFailed,     // a read, a write or the check of the new file failed
  kCancelled,  // the progress callback asked to stop
};

struct RewriteResult {
  RewriteOutcome outcome = RewriteOutcome::kFailed;
  std::string reason;  // why not, for the listener (UTF-8); empty when replaced
  std::string note;    // the writer's note when replaced
};

// Writes `chapters` into the file the writers understand (the file's first bytes decide).
using ChapterWriter = std::function<EmbedResult(ByteSource&, const ChaptersToEmbed&, ByteSink&)>;

// Told the bytes written so far and the size of the original; false stops the rewrite.
using RewriteProgress = std::function<bool(uint64_t written, uint64_t originalSize)>;

// Rewrites `path` with `chapters` by `writer`. A held recording is not waited for here: the
// caller tries again when the player has let go of it.
RewriteResult RewriteRecording(const TextString& path, const ChaptersToEmbed& chapters, const ChapterWriter& writer,
                               const RewriteProgress& progress = nullptr);

// Whether the chapters read back from a new file are the ones written: every one in order,
// within a millisecond, with its name as the readers clean it (CleanName); one chapter at 0
// before them is allowed where the list starts later (formats that need one add it).
bool SameChapters(const ChaptersToEmbed& written, const ChapterSet& readBack);

}  // namespace tarnix
