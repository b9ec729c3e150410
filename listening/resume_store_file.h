#pragma once
// The resume store as the plug-in keeps it in its file. The file is written only once it has
// been read or is known to be missing (or damaged): a file another program holds, or one that
// fails to read, says nothing about the positions in it, and writing over it would lose them.
// Changes made while it cannot be read wait and are made once it has been read.

#include <cstdint>
#include <vector>

#include "listening/resume_store.h"
#include "tracklist/text_string.h"

namespace tarnix::listening {

class ResumeStoreFile {
 public:
  // `path` is read and written; `earlierPath` (where an earlier version kept the store) is read,
  // never written, while `path` is missing. Either may be set again before the first read.
  void SetPaths(const TextString& path, const TextString& earlierPath);
  bool HasPaths() const { return !path_.IsEmpty(); }

  // Reads the file unless that was done; true once its content is known.
  bool EnsureRead();
  bool IsRead() const { return read_; }

  // The remembered position of `path`, or -1; a change still waiting for the read counts.
  int32_t Find(const TextString& path) const;
  // As ResumeStore's; kept until the read when the file has not been read.
  void Remember(const TextString& path, int32_t ms);
  void Forget(const TextString& path);

  // Writes the store when it changed, reading the file first when that is still to be done.
  // False when nothing was written that had to be (unread, or the write failed: tried again at
  // the next call).
  bool WriteIfChanged();

 private:
  struct Change {
    TextString path;
    int32_t ms;  // -1: forget
  };
  void Apply(const Change& change);
  void Wait(const Change& change);

  TextString path_;
  TextString earlierPath_;
  ResumeStore store_;
  bool read_ = false;
  bool changed_ = false;
  std::vector<Change> waiting_;  // oldest first, one per path, at most ResumeStore::kMaxEntries
};

}  // namespace tarnix::listening
