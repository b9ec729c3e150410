#pragma once
// Edited lists that could not be saved: each is kept in a recovery file beside its list (a name
// the search for "*.trk" never matches), or in a fallback directory when the list's own is gone,
// and saved into place once the list can be written.
//
// A recovery file is the list's bytes with two header lines in front (behind the UTF-8 mark when
// the list starts with one), so that it still reads as the list: readers of lists skip header
// lines they do not know.
//   [List  ] <the list's path in the ASCII spelling of tracklist/ascii_escape.h>
//   [Was   ] <what the list file was when the edit was kept, see ListFileState>
// Recovery files of earlier versions hold the list's bytes alone, beside the list they are named after.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tracklist/replacing_write.h"
#include "tracklist/text_string.h"

namespace tarnix {

class TrackList;

// "<list>.unsaved": beside the list, never taken for one.
TextString RecoveryPathFor(const TextString& listPath);

// What a list file was when an edit for it was kept. At the next start the list is taken to hold
// a later edit when it no longer matches: the decision never rests on the clock, whose time
// stamps may be two seconds coarse.
struct ListFileState {
  enum class Kind {
    kUnseen,   // its directory was missing (a drive taken away): nothing is known of it
    kAbsent,   // no such file
    kPresent,  // size, write time and, when it could be read, the hash of its bytes
  };
  Kind kind = Kind::kUnseen;
  int64_t size = 0;
  int64_t writeTime = 0;
  bool hashed = false;
  uint64_t hash = 0;

  bool operator==(const ListFileState& other) const;
};

ListFileState ListFileStateOf(const TextString& listPath);
// False when `now` may hold an edit made after the one kept while the list was `kept`. A missing
// list holds none.
bool ListUnchangedSince(const ListFileState& kept, const ListFileState& now);

struct RecoveryFile {
  TextString listPath;  // empty in a file of an earlier version
  ListFileState was;
  std::string bytes;  // the list's bytes, exactly as they are to be written
};

std::string FormatRecoveryFile(const RecoveryFile& file);
// False when the file starts with the record but it cannot be read: such a file names no list.
bool ParseRecoveryFile(std::string_view text, RecoveryFile* out);

// Reads a list's bytes exactly as TrackList::Load reads a file holding them.
bool LoadListBytes(TrackList& list, std::string_view bytes, const TextString& title, int32_t cdKey, uint32_t cddbId,
                   bool alreadyMatched);

class UnsavedLists {
 public:
  // Where a recovery file goes when the list's own directory takes none (it is missing).
  explicit UnsavedLists(TextString fallbackDirectory = TextString());
  void SetFallbackDirectory(const TextString& directory) { fallbackDirectory_ = directory; }

  // Keeps `bytes` meant for `listPath`: writes the recovery file (one attempt, no waiting) and
  // remembers to save the list later. Returns the recovery file's path, empty when none could
  // be written (the bytes are still kept for the later save, and a recovery file of an earlier
  // edit of the list stays as it was).
  TextString Keep(const TextString& listPath, std::string bytes);
  // Tries each kept list once, without waiting; a list saved is forgotten and its recovery file
  // removed. Returns how many were saved.
  int SaveWaiting();
  // A newer version of the list was saved: the kept one is stale and goes with its recovery file.
  void Forget(const TextString& listPath);
  // Takes up the recovery files an earlier run left beside the lists in `directory` and in the
  // fallback directory, each to be saved into place like an edit kept in this run. One whose list
  // holds a later edit, or that holds no list, stays as it is. Returns how many were taken up.
  int AdoptRecoveryFiles(const TextString& directory);

  bool Holds(const TextString& listPath) const;
  size_t Count() const { return kept_.size(); }
  // Reads the edit kept for `listPath` into `list` as TrackList::Load reads a file; false when
  // none is kept or it does not belong to what is playing.
  bool LoadKept(TrackList& list, const TextString& listPath, const TextString& title, int32_t cdKey, uint32_t cddbId,
                bool alreadyMatched) const;

 private:
  struct Kept {
    TextString listPath;
    TextString recoveryPath;  // empty when none was written
    std::string bytes;
  };

  TextString WriteRecovery(const TextString& listPath, const std::string& bytes) const;
  TextString FallbackRecoveryPath(const TextString& listPath) const;
  int AdoptFrom(const TextString& directory, bool besideTheirLists);
  const Kept* Find(const TextString& listPath) const;

  TextString fallbackDirectory_;
  std::vector<Kept> kept_;
};

}  // namespace tarnix
