// The directory index on disk. Little-endian bytes, the same on both widths:
//
//   "TarnixIX"  u32 version  u32 pattern length, pattern bytes  u32 file count
//   per file:   u32 name length, name bytes  i64 size  i64 write time  u8 flags  i32 CD key
//               u32 disc id  u32 album length, bytes  u32 artist length, bytes
//               u32 name count, per name: u32 length, u64 hash
//               u64 recording size, u64 hash high, u64 hash low (all 0: none)
//   u64 FNV-1a hash of every byte before it
//
// Only files whose facts can be trusted are written; the others are read again anyway.

#include <cstring>

#include "tracklist/atomic_write.h"
#include "tracklist/dir_index.h"
#include "tracklist/platform.h"
#include "tracklist/whole_file.h"

namespace tarnix {

namespace {

constexpr char kMagic[8] = {'T', 'a', 'r', 'n', 'i', 'x', 'I', 'X'};
// 2: texts, names and hashes in UTF-8; 3: recordings' identities; 4: a header tag without its
// blank reads as an empty value, so lists an earlier reader refused are looked at again.
constexpr uint32_t kVersion = 4;
// Far beyond any bookmark directory; a larger file is not one of ours.
constexpr uint64_t kMaxFileBytes = uint64_t{512} << 20;

uint64_t Checksum(const char* data, size_t size) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
  return hash;
}

class Writer {
 public:
  explicit Writer(std::string* out) : out_(out) {}
  void U8(uint8_t v) { out_->push_back(static_cast<char>(v)); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) out_->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void Text(const std::string& text) {
    U32(static_cast<uint32_t>(text.size()));
    out_->append(text);
  }

 private:
  std::string* out_;
};

// Reads fields while they fit; every failure sticks, so a caller checks once at the end.
class Cursor {
 public:
  Cursor(const char* data, size_t size) : p_(data), end_(data + size) {}
  bool ok() const { return ok_; }
  bool AtEnd() const { return p_ == end_; }
  size_t Left() const { return static_cast<size_t>(end_ - p_); }
  uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
  uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
  uint64_t U64() { return Take(8); }
  bool Text(std::string* text, size_t limit) {
    const uint32_t length = U32();
    if (!ok_ || length > limit || length > Left()) return ok_ = false;
    text->assign(p_, length);
    p_ += length;
    return true;
  }

 private:
  uint64_t Take(int bytes) {
    if (!ok_ || Left() < static_cast<size_t>(bytes)) {
      ok_ = false;
      return 0;
    }
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(p_[i])) << (8 * i);
    p_ += bytes;
    return v;
  }

  const char* p_;
  const char* end_;
  bool ok_ = true;
};

}  // namespace

std::string DirectoryIndex::Serialize() {
  std::string out(kMagic, sizeof kMagic);
  Writer w(&out);
  w.U32(kVersion);
  w.Text(pattern_);
  size_t countAt = out.size();
  w.U32(0);
  uint32_t count = 0;
  for (const auto& [name, entry] : entries_) {
    if (!entry.known || !entry.trusted) continue;
    const ListFacts& facts = entry.facts;
    w.Text(name);
    w.U64(static_cast<uint64_t>(entry.size));
    w.U64(static_cast<uint64_t>(entry.writeTime));
    w.U8(facts.flags);
    w.U32(static_cast<uint32_t>(facts.cdKey));
    w.U32(facts.cddbId);
    w.Text(facts.album);
    w.Text(facts.artist);
    w.U32(static_cast<uint32_t>(facts.names.size()));
    for (const NameKey& key : facts.names) {
      w.U32(key.length);
      w.U64(key.hash);
    }
    w.U64(facts.identity.size);
    w.U64(facts.identity.high);
    w.U64(facts.identity.low);
    ++count;
  }
  for (int i = 0; i < 4; ++i) out[countAt + static_cast<size_t>(i)] = static_cast<char>((count >> (8 * i)) & 0xFF);
  w.U64(Checksum(out.data(), out.size()));
  modified_ = false;
  return out;
}

bool DirectoryIndex::Parse(const std::string& bytes, const TextString& pattern) {
  entries_.clear();
  by_identity_.clear();
  identities_stale_ = true;
  pattern_.assign(pattern.c_str(), static_cast<size_t>(pattern.Length()));
  modified_ = true;
  if (bytes.size() < sizeof kMagic + 8 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
  const size_t body = bytes.size() - 8;
  Cursor tail(bytes.data() + body, 8);
  if (tail.U64() != Checksum(bytes.data(), body)) return false;
  Cursor in(bytes.data() + sizeof kMagic, body - sizeof kMagic);
  std::string stored;
  if (in.U32() != kVersion || !in.Text(&stored, in.Left()) || stored != pattern_) return false;
  const uint32_t count = in.U32();
  // Each file takes at least 65 bytes: a count beyond that is damage, not a reason to allocate.
  if (!in.ok() || count > in.Left() / 65) return false;
  entries_.reserve(count);
  std::string name;
  for (uint32_t i = 0; i < count && in.ok(); ++i) {
    if (!in.Text(&name, ListFacts::kMaxText)) break;
    Entry entry;
    entry.size = static_cast<int64_t>(in.U64());
    entry.writeTime = static_cast<int64_t>(in.U64());
    entry.known = entry.trusted = true;
    ListFacts& facts = entry.facts;
    facts.flags = in.U8();
    facts.cdKey = static_cast<int32_t>(in.U32());
    facts.cddbId = in.U32();
    in.Text(&facts.album, ListFacts::kMaxText);
    in.Text(&facts.artist, ListFacts::kMaxText);
    const uint32_t names = in.U32();
    if (!in.ok() || names > ListFacts::kMaxNames || names > in.Left() / 12) break;
    facts.names.resize(names);
    for (NameKey& key : facts.names) {
      key.length = in.U32();
      key.hash = in.U64();
    }
    facts.identity.size = in.U64();
    facts.identity.high = in.U64();
    facts.identity.low = in.U64();
    if (!in.ok() || !entries_.emplace(name, std::move(entry)).second) break;
  }
  if (!in.ok() || !in.AtEnd() || entries_.size() != count) {
    entries_.clear();
    return false;
  }
  modified_ = false;
  return true;
}

bool DirectoryIndex::SaveTo(const TextString& path) {
  if (WriteFileReplacing(path, Serialize())) return true;
  modified_ = true;
  return false;
}

bool DirectoryIndex::LoadFrom(const TextString& path, const TextString& pattern) {
  std::string bytes;
  ReadWholeFile(path, kMaxFileBytes, &bytes);  // a missing or unreadable index is an empty one
  return Parse(bytes, pattern);
}

}  // namespace tarnix
