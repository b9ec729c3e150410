#pragma once
// DirectoryIndex: what the matching rules need of every ".trk" file of the bookmark directory,
// kept between searches. A search lists the directory, reads only the files that are new or
// changed since the last one, and loads just the file that matches; the file chosen, and the
// list it leaves, are those of TrackList::Search over the same directory.
//
// A song change looks for the playing file's list in three steps: by the file's path (the list
// files named after it), then FindByIdentity with the file's content identity (a list made for
// the same recording before it was moved or renamed), then Search by the title.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "tracklist/content_identity.h"
#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// A start entry's name as the title comparison needs it: its length and a hash of its bytes,
// letters folded, taken from the last byte back (so a title's tails hash the same way).
struct NameKey {
  uint32_t length = 0;
  uint64_t hash = 0;
};

// What deciding whether one file matches needs, read the way Load reads it.
struct ListFacts {
  enum Flag : uint8_t {
    kOpened = 1,   // the file could be opened
    kValid = 2,    // read to its end without being rejected
    kEntries = 4,  // an entry line ended the header: the CD identity is compared
    kAlbum = 8,    // an album line set the album (without one the list keeps the album it had)
    kArtist = 16,  // likewise for the artist
    kOpaque = 32,  // too much to keep (many tracks, huge names): decided by loading the file
  };
  static constexpr size_t kMaxNames = 128;
  static constexpr size_t kMaxText = 1024;

  bool Has(Flag flag) const { return (flags & flag) != 0; }

  uint8_t flags = 0;
  int32_t cdKey = 0;
  uint32_t cddbId = 0;
  std::string album;           // the last album line's value, when kAlbum
  std::string artist;          // the last artist line's value, when kArtist
  std::vector<NameKey> names;  // every track's start entry, in file order
  ContentIdentity identity;    // of the recording its "[File  ]" line names; kept also when kOpaque
};

ListFacts ReadListFacts(const TextString& path);
NameKey KeyOfName(const char* text, size_t length);

class DirectoryIndex {
 public:
  // A file whose last write lies within this of the listing time, or after it, is read again
  // by the next search rather than trusted: a second write inside the file system's time step
  // (2 s on FAT) could keep both its size and its time.
  static constexpr int64_t kTimeResolution = 2 * 10000000;  // 100 ns units

  // Counts of the last search, for tests and benchmarks.
  struct Stats {
    int listed = 0;      // files the listing gave
    int read = 0;        // files read to learn their facts
    int loaded = 0;      // Load calls
    bool plain = false;  // the plain search decided (a loaded file no longer matched)
  };

  // The result, and the list left behind, of list.Search(pattern, title, cdKey, cddbId): the
  // same file, the same track list. When nothing matches, the list holds the album and artist
  // the plain search would leave (all that a following search reads of it).
  bool Search(TrackList& list, const TextString& pattern, const TextString& title, int32_t cdKey, uint32_t cddbId);

  // The list made for the recording `identity` names (ReadContentIdentity of the playing file),
  // loaded into `list` as Load(path, "", 0, 0, true) loads it: the first such list of the
  // listing whose file still names that identity. Lists the directory and reads the files new
  // or changed since the last search (all of them the first time), then asks a hash map: after
  // the first time it costs a listing, as Search does. False, with `list` untouched, when no list
  // names it or `identity` is empty. A list found here has its `recording.path` where the file
  // was; the caller decides whether it follows the file to its new path.
  bool FindByIdentity(TrackList& list, const TextString& pattern, const ContentIdentity& identity);

  // Forgets every file and the pattern; the next search binds the index to its own.
  void Clear();

  const std::string& Pattern() const { return pattern_; }
  size_t Count() const { return entries_.size(); }
  // Heap and object bytes held, estimated from the containers' sizes.
  size_t MemoryBytes() const;
  // Whether anything changed since the index was made, parsed or serialized.
  bool Modified() const { return modified_; }
  const Stats& LastSearch() const { return stats_; }

  // The index as bytes (serialization clears Modified), and back. Parse leaves the index
  // empty and bound to `pattern` and returns false when the bytes are damaged, from another
  // version, or for another pattern.
  std::string Serialize();
  bool Parse(const std::string& bytes, const TextString& pattern);
  // Through a temporary file beside `path` that replaces it only when complete.
  bool SaveTo(const TextString& path);
  bool LoadFrom(const TextString& path, const TextString& pattern);

 private:
  struct Entry {
    int64_t size = 0;
    int64_t writeTime = 0;
    uint32_t seen = 0;     // the listing that last reported the file
    bool known = false;    // facts were read for this size and time
    bool trusted = false;  // ... and can be relied on without reading again
    ListFacts facts;
  };
  using Map = std::unordered_map<std::string, Entry>;
  using Listed = std::vector<Map::value_type*>;

  bool Bind(const TextString& pattern);
  // Binds to `pattern`, lists the directory into `order` (listing order), forgets files gone.
  // Returns the time the listing began.
  int64_t Refresh(const TextString& pattern, Listed* order);
  // Reads the entry's facts again unless they are known and trusted.
  void Learn(Map::value_type& item, const TextString& directory, int64_t listedAt);
  // Empties an entry whose file changed or went.
  void Forget(Entry& entry);
  static ContentIdentity KeyOf(const Entry& entry);

  Map entries_;
  // Listed lists by the recording they name, the first of the listing for each; rebuilt from the
  // entries when one of them gained, lost or changed an identity.
  std::unordered_map<ContentIdentity, Map::value_type*, ContentIdentityHash> by_identity_;
  bool identities_stale_ = true;
  std::string pattern_;
  uint32_t generation_ = 0;
  bool modified_ = false;
  Stats stats_;
};

}  // namespace tarnix
