#pragma once
// Where the listener left each long recording: a most-recently-played-first list of whole paths
// (compared as the bytes they are) and positions, kept in a small text file beside plugin.ini.
//
// The file: a first line "Tarnix resume positions 1", then one line per recording, the position
// in milliseconds, one blank and the path: "2830000 C:\Books\Long book.mp3". A file that does not
// read as exactly that is damaged; it is ignored and replaced by the next write. A file that
// cannot be read (another program holds it) is neither: see ResumeStoreFile.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tracklist/text_string.h"

namespace tarnix::listening {

// What reading the store's file found.
enum class StoreRead {
  kRead,        // the file's entries
  kMissing,     // no such file: the store starts empty
  kDamaged,     // bytes that are not a store: ignored, the store starts empty
  kUnreadable,  // held by another program past the wait, or failing to read: nothing is known
};

class ResumeStore {
 public:
  static constexpr size_t kMaxEntries = 1000;

  // The remembered position of `path`, or -1.
  int32_t Find(const TextString& path) const;
  // Remembers `ms` for `path` as the most recently played; the least recently played entry goes
  // when the store is full. A path that a line cannot hold (empty, a line break) is refused.
  bool Remember(const TextString& path, int32_t ms);
  // True when there was something to forget.
  bool Forget(const TextString& path);
  size_t Count() const { return entries_.size(); }

  // Replaces the content by the file's; false (and empty) when the bytes are damaged.
  bool Parse(std::string_view bytes);
  std::string Format() const;

  // Reads the file at `path`; the store is empty unless kRead. A file another program holds is
  // tried again as a held file is for a write (replacing_write.h), with the thread's wait.
  // Writes through a temporary file that replaces the old one only when complete.
  StoreRead Load(const TextString& path);
  bool Save(const TextString& path) const;

 private:
  struct Entry {
    TextString path;
    int32_t ms;
  };
  std::vector<Entry> entries_;  // most recently played first
};

}  // namespace tarnix::listening
