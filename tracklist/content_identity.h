#pragma once
// The content identity of a recording: its size and a 128-bit hash of its first and last 64 KB
// (of the whole file when it is 128 KB or smaller). A list remembers the identity of the file it
// was made for, so that it is found again after the file was moved or renamed.
//
// Two files are taken for the same recording only when both the size and the hash agree: a file
// of the same size with other bytes at either end, or with the same ends and another size, is
// another recording. What the middle of a large file holds is not looked at; that is the price of
// reading at most 128 KB per file.
//
// The hash is a two-lane multiply-rotate over 64-bit words, each lane's step a bijection of its
// state for a given word and of the word for a given state, and a bijective finish. So a change
// of any single word (any one changed byte) always gives another hash; other changes collide by
// chance only, at about 2^-64 per lane and far below that for both lanes. Among the files of one
// size in a library of a million recordings that is negligible, and no lookup ever trusts a hash
// without the size beside it. No cryptographic strength is claimed: nobody forges recordings to
// mislead a track list.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "tracklist/text_string.h"

namespace tarnix {

struct ContentIdentity {
  static constexpr uint64_t kBlockBytes = 64 * 1024;     // read at each end of a large file
  static constexpr uint64_t kMaxRead = 2 * kBlockBytes;  // at most this is read per file

  uint64_t size = 0;  // 0: no identity (an empty file gets none: all empty files are alike)
  uint64_t high = 0;  // the hash's two halves
  uint64_t low = 0;

  bool IsEmpty() const { return size == 0; }
  bool operator==(const ContentIdentity& other) const {
    return size == other.size && high == other.high && low == other.low;
  }
  bool operator!=(const ContentIdentity& other) const { return !(*this == other); }
};

struct ContentIdentityHash {
  size_t operator()(const ContentIdentity& identity) const {
    return static_cast<size_t>(identity.low ^ (identity.size * 0x9E3779B97F4A7C15ull));
  }
};

// The identity of a file of `size` bytes whose read bytes are `sampled`: the whole file when
// size <= kMaxRead, else its first kBlockBytes followed by its last kBlockBytes. Empty for size 0
// or when `sampled` is not that long.
ContentIdentity IdentityOfSample(uint64_t size, std::string_view sampled);

// "<size> <32 hex digits>", as the list file's header line holds it.
std::string FormatContentIdentity(const ContentIdentity& identity);
// Exactly that form (hex digits in either case); false for anything else, a size of 0 included.
bool ParseContentIdentity(std::string_view text, ContentIdentity* identity);

// The identity of the file at `path`: one open, at most kMaxRead bytes read (one read for a file
// up to kMaxRead, two otherwise), its size taken before and after through the same open file.
// Empty when the file cannot be opened (also held by a program that shares no reading), is
// empty, cannot be read, or changed size meanwhile (still being written); empty for a CD's track
// file (".cda"), whose bytes name a disc, not a recording.
ContentIdentity ReadContentIdentity(const TextString& path);

// Whether the file at `path` is still the recording `identity` names (never for an empty one).
bool HoldsRecording(const TextString& path, const ContentIdentity& identity);

// What ReadContentIdentity did since the process started, for tests and benchmarks.
struct IdentityReadCounts {
  uint64_t opens = 0;  // files opened
  uint64_t bytes = 0;  // bytes the reads returned
};
IdentityReadCounts IdentityReads();

// Runs `between` after the bytes are read and before the size is taken again, for as long as the
// object lives: a test writes to the file there, as a program still writing it would.
class ScopedIdentityReadHook {
 public:
  explicit ScopedIdentityReadHook(std::function<void()> between);
  ~ScopedIdentityReadHook();
  ScopedIdentityReadHook(const ScopedIdentityReadHook&) = delete;
  ScopedIdentityReadHook& operator=(const ScopedIdentityReadHook&) = delete;
};

}  // namespace tarnix
