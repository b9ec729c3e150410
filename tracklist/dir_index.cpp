#include "tracklist/dir_index.h"

#include <cstdio>
#include <utility>

#include "tracklist/platform.h"
#include "tracklist/track_file.h"

namespace tarnix {

namespace {

constexpr uint64_t kHashBasis = 14695981039346656037ull;
constexpr uint64_t kHashPrime = 1099511628211ull;

// The index's folding, the same as the list reader's title match: ASCII letters only, and a
// control character taken as the blank the list writer puts in its place.
unsigned char Fold(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u < 0x20 || u == 0x7F) return ' ';
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

uint64_t HashStep(uint64_t hash, char c) { return (hash ^ Fold(c)) * kHashPrime; }

bool EqualNoCase(const char* a, size_t a_len, const char* b, size_t b_len) {
  if (a_len != b_len) return false;
  for (size_t i = 0; i < a_len; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::string Bytes(const TextString& text) { return std::string(text.c_str(), static_cast<size_t>(text.Length())); }
TextString Text(const std::string& bytes) { return TextString(static_cast<int>(bytes.size()), bytes.data()); }

// The hashes of every tail of the playing title: tails[n] is KeyOfName of its last n bytes.
std::vector<uint64_t> TailHashes(const TextString& title) {
  const size_t length = static_cast<size_t>(title.Length());
  std::vector<uint64_t> tails(length + 1);
  uint64_t hash = kHashBasis;
  tails[0] = hash;
  for (size_t n = 1; n <= length; ++n) {
    hash = HashStep(hash, title[static_cast<int>(length - n)]);
    tails[n] = hash;
  }
  return tails;
}

enum class Verdict { kNoMatch, kMatch, kLoad };

// What Load(path, title, cdKey, cddbId, false) answers for a file with these facts, while the
// list holds `album` from before. kMatch may rarely be a hash collision: the load that follows
// tells.
Verdict Decide(const ListFacts& facts, const TextString& title, const std::vector<uint64_t>& tails, int32_t cdKey,
               uint32_t cddbId, const std::string& album) {
  if (facts.Has(ListFacts::kOpaque)) return Verdict::kLoad;
  if (!facts.Has(ListFacts::kOpened) || !facts.Has(ListFacts::kValid)) return Verdict::kNoMatch;
  if (facts.Has(ListFacts::kEntries)) {
    // The identity is compared at the first entry line: the disc id first, then the CD key.
    if (cddbId != 0 && facts.cddbId != 0) {
      return cddbId == facts.cddbId ? Verdict::kMatch : Verdict::kNoMatch;
    }
    if (cdKey != 0 && facts.cdKey != 0) return cdKey == facts.cdKey ? Verdict::kMatch : Verdict::kNoMatch;
    // A start entry whose name is the end of the title.
    const size_t length = static_cast<size_t>(title.Length());
    if (length > 0) {
      for (const NameKey& name : facts.names) {
        if (name.length <= length && tails[name.length] == name.hash) return Verdict::kMatch;
      }
    }
  }
  const std::string& own = facts.Has(ListFacts::kAlbum) ? facts.album : album;
  return EqualNoCase(title.c_str(), static_cast<size_t>(title.Length()), own.data(), own.size()) ? Verdict::kMatch
                                                                                                 : Verdict::kNoMatch;
}

}  // namespace

NameKey KeyOfName(const char* text, size_t length) {
  NameKey key;
  key.length = static_cast<uint32_t>(length);
  key.hash = kHashBasis;
  for (size_t i = length; i > 0; --i) key.hash = HashStep(key.hash, text[i - 1]);
  return key;
}

ListFacts ReadListFacts(const TextString& path) {
  ListFacts facts;
  platform::File file(path, "rb");
  if (!file) return facts;
  facts.flags |= ListFacts::kOpened;
  // Read as Open reads a chosen file: every check of the format, no matching.
  TrackList scratch;
  const TextString noTitle;
  trackfile::Reader reader(scratch, noTitle, 0, 0, true);
  if (trackfile::ReadAll(file.get(), reader)) {
    facts.flags |= ListFacts::kValid;
  } else if (std::ferror(file.get())) {
    // Not read to its end: what was read says nothing of the list, and the next search reads
    // it again, as one that could not be opened.
    return ListFacts();
  }
  if (reader.SawEntries()) facts.flags |= ListFacts::kEntries;
  facts.cdKey = scratch.cdKey;
  facts.cddbId = scratch.cddbId;
  facts.identity = scratch.recording.identity;
  bool opaque = scratch.tracks.size() > ListFacts::kMaxNames;
  if (reader.SawAlbum()) {
    facts.flags |= ListFacts::kAlbum;
    opaque = opaque || static_cast<size_t>(scratch.album.Length()) > ListFacts::kMaxText;
  }
  if (reader.SawArtist()) {
    facts.flags |= ListFacts::kArtist;
    opaque = opaque || static_cast<size_t>(scratch.artist.Length()) > ListFacts::kMaxText;
  }
  if (opaque) {
    facts.flags |= ListFacts::kOpaque;
    return facts;
  }
  if (reader.SawAlbum()) facts.album = Bytes(scratch.album);
  if (reader.SawArtist()) facts.artist = Bytes(scratch.artist);
  facts.names.reserve(scratch.tracks.size());
  for (const Track& track : scratch.tracks) {
    // Every track is opened by its start entry, so it has one.
    const TextString& name = track.subtracks.front().name;
    facts.names.push_back(KeyOfName(name.c_str(), static_cast<size_t>(name.Length())));
  }
  return facts;
}

void DirectoryIndex::Clear() {
  entries_.clear();
  by_identity_.clear();
  identities_stale_ = true;
  pattern_.clear();
  modified_ = true;
}

bool DirectoryIndex::Bind(const TextString& pattern) {
  std::string key = Bytes(pattern);
  if (key == pattern_) return false;
  Clear();
  pattern_ = std::move(key);
  return true;
}

// The identity under which an entry is found: only a list that reads as a list is offered. From
// the facts alone, also while they wait to be read again, so that the map is rebuilt whenever an
// entry it points to changes or goes.
ContentIdentity DirectoryIndex::KeyOf(const Entry& entry) {
  const ListFacts& facts = entry.facts;
  if (!facts.Has(ListFacts::kOpened) || !facts.Has(ListFacts::kValid)) return ContentIdentity();
  return facts.identity;
}

void DirectoryIndex::Forget(Entry& entry) {
  if (!KeyOf(entry).IsEmpty()) identities_stale_ = true;
  entry = Entry();
}

int64_t DirectoryIndex::Refresh(const TextString& pattern, Listed* order) {
  Bind(pattern);
  const int64_t listedAt = platform::SystemFileTime();
  ++generation_;
  order->reserve(entries_.size() + 16);
  platform::EnumerateListedFiles(pattern, [&](const platform::ListedFile& file) {
    auto found = entries_.try_emplace(Bytes(file.name));
    Entry& entry = found.first->second;
    if (found.second || entry.size != file.size || entry.writeTime != file.writeTime) {
      Forget(entry);
      entry.size = file.size;
      entry.writeTime = file.writeTime;
      modified_ = true;
    }
    entry.seen = generation_;
    order->push_back(&*found.first);
    return true;
  });
  stats_.listed = static_cast<int>(order->size());
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->second.seen == generation_) {
      ++it;
    } else {
      Forget(it->second);
      it = entries_.erase(it);
      modified_ = true;
    }
  }
  return listedAt;
}

void DirectoryIndex::Learn(Map::value_type& item, const TextString& directory, int64_t listedAt) {
  Entry& entry = item.second;
  if (entry.known && entry.trusted) return;
  const ContentIdentity before = KeyOf(entry);
  entry.facts = ReadListFacts(directory + "\\" + Text(item.first));
  entry.known = true;
  entry.trusted = entry.facts.Has(ListFacts::kOpened) && entry.writeTime <= listedAt - kTimeResolution;
  if (KeyOf(entry) != before) identities_stale_ = true;
  modified_ = true;
  ++stats_.read;
}

bool DirectoryIndex::Search(TrackList& list, const TextString& patternArg, const TextString& titleArg, int32_t cdKey,
                            uint32_t cddbId) {
  // The caller's strings may be the list's own fields.
  const TextString pattern(patternArg);
  const TextString title(titleArg);
  stats_ = Stats();
  // The plain search takes such a pattern as one file: nothing to list.
  if (cdKey == 0 && title.IsEmpty()) {
    stats_.plain = true;
    return list.Search(pattern, title, cdKey, cddbId);
  }
  const TextString directory = pattern.DirectoryPart();
  Listed order;
  const int64_t listedAt = Refresh(pattern, &order);

  // Every Load of the plain search replaces the album and artist only when the file has such a
  // line; a file without one is compared with what the list still holds. Followed here.
  const TextString startAlbum = list.album, startArtist = list.artist, startPath = list.path;
  std::string album = Bytes(list.album), artist = Bytes(list.artist);
  const std::vector<uint64_t> tails = TailHashes(title);
  for (Map::value_type* item : order) {
    Entry& entry = item->second;
    auto path = [&] { return directory + "\\" + Text(item->first); };
    Learn(*item, directory, listedAt);
    const Verdict verdict = Decide(entry.facts, title, tails, cdKey, cddbId, album);
    if (verdict == Verdict::kNoMatch) {
      if (entry.facts.Has(ListFacts::kOpened)) {
        if (entry.facts.Has(ListFacts::kAlbum)) album = entry.facts.album;
        if (entry.facts.Has(ListFacts::kArtist)) artist = entry.facts.artist;
      }
      continue;
    }
    list.album = Text(album);
    list.artist = Text(artist);
    ++stats_.loaded;
    if (list.Load(path(), title, cdKey, cddbId, false)) return true;
    if (verdict == Verdict::kLoad) {
      // Decided by loading it, as the plain search does; the list now holds what it would.
      album = Bytes(list.album);
      artist = Bytes(list.artist);
      continue;
    }
    // The file changed after the listing (or two names shared a hash): read it again next
    // time, and let the plain search decide now, from the list as it was.
    entry.known = false;
    list.album = startAlbum;
    list.artist = startArtist;
    list.path = startPath;
    stats_.plain = true;
    return list.Search(pattern, title, cdKey, cddbId);
  }
  list.album = Text(album);
  list.artist = Text(artist);
  return false;
}

bool DirectoryIndex::FindByIdentity(TrackList& list, const TextString& patternArg, const ContentIdentity& identity) {
  const TextString pattern(patternArg);  // the caller's string may be the list's own
  stats_ = Stats();
  if (identity.IsEmpty()) return false;
  const TextString directory = pattern.DirectoryPart();
  Listed order;
  const int64_t listedAt = Refresh(pattern, &order);
  for (Map::value_type* item : order) Learn(*item, directory, listedAt);
  if (identities_stale_) {
    by_identity_.clear();
    by_identity_.reserve(order.size());
    for (Map::value_type* item : order) {
      const ContentIdentity key = KeyOf(item->second);
      if (!key.IsEmpty()) by_identity_.try_emplace(key, item);
    }
    identities_stale_ = false;
  }
  const auto found = by_identity_.find(identity);
  if (found == by_identity_.end()) return false;
  // Loaded aside: a file that changed since it was read leaves the caller's list as it was.
  TrackList candidate;
  ++stats_.loaded;
  if (candidate.Load(directory + "\\" + Text(found->second->first), TextString(), 0, 0, true) &&
      candidate.recording.identity == identity) {
    list = std::move(candidate);
    return true;
  }
  found->second->second.known = false;  // read again next time
  identities_stale_ = true;
  return false;
}

size_t DirectoryIndex::MemoryBytes() const {
  // Per node: the value, the next pointer and the cached hash; plus the bucket array.
  size_t bytes = sizeof(*this) + entries_.bucket_count() * sizeof(void*);
  for (const auto& [name, entry] : entries_) {
    bytes += sizeof(Map::value_type) + 2 * sizeof(void*);
    if (name.capacity() > 15) bytes += name.capacity() + 1;
    if (entry.facts.album.capacity() > 15) bytes += entry.facts.album.capacity() + 1;
    if (entry.facts.artist.capacity() > 15) bytes += entry.facts.artist.capacity() + 1;
    bytes += entry.facts.names.capacity() * sizeof(NameKey);
  }
  bytes += by_identity_.bucket_count() * sizeof(void*) +
           by_identity_.size() * (sizeof(decltype(by_identity_)::value_type) + 2 * sizeof(void*));
  return bytes;
}

}  // namespace tarnix
