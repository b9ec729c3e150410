#pragma once
// Where the listener left each long recording: a most-recently-played-first list of whole paths
// (compared as the bytes they are) and positions, kept in a small text file beside plugin.ini.
//
// The file: a first line "Tarnix resume positions 1", then one line per recording, the position
// in milliseconds, one blank and the path: "2830000 C:\Books\Long book.mp3". A file that does not
// read as exactly that is damaged; it is ignored and replaced by the next write.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tracklist/text_string.h"

namespace tarnix::listening {

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

  // Reads the file at `path`: false when it is missing, unreadable or damaged (the store is
  // then empty). Writes through a temporary file that replaces the old one only when complete.
  bool Load(const TextString& path);
  bool Save(const TextString& path) const;

 private:
  struct Entry {
    TextString path;
    int32_t ms;
  };
  std::vector<Entry> entries_;  // most recently played first
};

}  // namespace tarnix::listening
