#include "tracklist/content_identity.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "tracklist/platform.h"

namespace tarnix {

namespace {

constexpr uint64_t kMultiplier = 0x9E3779B185EBCA87ull;  // odd: multiplying is a bijection
constexpr uint64_t kWordFactor = 0xC2B2AE3D27D4EB4Full;  // odd
constexpr uint64_t kSeedHigh = 0x243F6A8885A308D3ull;    // digits of pi: any fixed values do
constexpr uint64_t kSeedLow = 0x13198A2E03707344ull;

uint64_t Rotate(uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

// One lane's step: adding, rotating and multiplying by an odd number are each bijections.
uint64_t Step(uint64_t lane, uint64_t word) { return Rotate(lane + word * kWordFactor, 31) * kMultiplier; }

// A bijective avalanche, so that every input bit reaches every output bit.
uint64_t Finish(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  return x;
}

// Little-endian on every build, so both widths and every byte order agree.
uint64_t Word(const unsigned char* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);  // one load, where a loop over the bytes is not made into one
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap64(v);
#endif
  return v;
}

// The last 1 to 15 bytes, zero-filled to two words.
void LastWords(const unsigned char* p, size_t n, uint64_t* first, uint64_t* second) {
  unsigned char padded[16] = {};
  std::memcpy(padded, p, n);
  *first = Word(padded);
  *second = Word(padded + 8);
}

std::atomic<uint64_t> g_opens{0};
std::atomic<uint64_t> g_bytes{0};
std::function<void()> g_between;  // a test's step between the reads and the second look

bool IsCdTrackFile(const TextString& path) {
  const int n = path.Length();
  return n >= 4 && TextString(4, path.c_str() + n - 4).EqualsIgnoringCase(".cda");
}

// Reads `count` bytes at `offset`; the bytes returned are counted.
bool ReadAt(std::FILE* file, uint64_t offset, unsigned char* out, size_t count) {
  if (!platform::SeekFile(file, offset)) return false;
  const size_t got = std::fread(out, 1, count, file);
  g_bytes += got;
  return got == count;
}

}  // namespace

ContentIdentity IdentityOfSample(uint64_t size, std::string_view sampled) {
  const uint64_t expected = size < ContentIdentity::kMaxRead ? size : ContentIdentity::kMaxRead;
  if (size == 0 || sampled.size() != expected) return ContentIdentity();
  const auto* p = reinterpret_cast<const unsigned char*>(sampled.data());
  const size_t n = sampled.size();
  uint64_t a = kSeedHigh ^ size;
  uint64_t b = kSeedLow ^ Rotate(size, 32);
  size_t at = 0;
  for (; at + 16 <= n; at += 16) {
    a = Step(a, Word(p + at));
    b = Step(b, Word(p + at + 8));
  }
  // The last bytes, zero-filled: the size, in both seeds, tells how many were real.
  if (at < n) {
    uint64_t first, second;
    LastWords(p + at, n - at, &first, &second);
    a = Step(a, first);
    b = Step(b, second);
  }
  // Invertible from (a, b): two lanes that differ give two hashes that differ.
  a += b;
  b += Rotate(a, 17);
  ContentIdentity identity;
  identity.size = size;
  identity.high = Finish(a);
  identity.low = Finish(b);
  return identity;
}

std::string FormatContentIdentity(const ContentIdentity& identity) {
  std::string out = std::to_string(identity.size);
  out += ' ';
  for (const uint64_t half : {identity.high, identity.low}) {
    for (int i = 15; i >= 0; --i) out += "0123456789abcdef"[(half >> (4 * i)) & 15];
  }
  return out;
}

bool ParseContentIdentity(std::string_view text, ContentIdentity* identity) {
  const size_t blank = text.find(' ');
  if (blank == 0 || blank == std::string_view::npos || blank > 20 || text.size() != blank + 33) return false;
  uint64_t size = 0;
  for (size_t i = 0; i < blank; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (size > (UINT64_MAX - digit) / 10) return false;
    size = size * 10 + digit;
  }
  if (size == 0) return false;
  uint64_t halves[2] = {0, 0};
  for (size_t i = 0; i < 32; ++i) {
    const char c = text[blank + 1 + i];
    int v;
    if (c >= '0' && c <= '9') {
      v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      v = c - 'A' + 10;
    } else {
      return false;
    }
    halves[i / 16] = halves[i / 16] << 4 | static_cast<uint64_t>(v);
  }
  identity->size = size;
  identity->high = halves[0];
  identity->low = halves[1];
  return true;
}

ContentIdentity ReadContentIdentity(const TextString& path) {
  if (path.IsEmpty() || IsCdTrackFile(path)) return ContentIdentity();
  platform::File file(path, "rb");
  if (!file) return ContentIdentity();
  ++g_opens;
  // Unbuffered: the library reads exactly what is asked, not a buffer's worth around it.
  if (std::setvbuf(file.get(), nullptr, _IONBF, 0) != 0) return ContentIdentity();
  const int64_t size = platform::FileSizeOf(file.get());
  if (size <= 0) return ContentIdentity();
  const uint64_t whole = static_cast<uint64_t>(size);
  const size_t sampled = static_cast<size_t>(whole < ContentIdentity::kMaxRead ? whole : ContentIdentity::kMaxRead);
  // Not zeroed first: every byte is read into.
  const std::unique_ptr<unsigned char[]> bytes(new unsigned char[sampled]);
  if (whole <= ContentIdentity::kMaxRead) {
    if (!ReadAt(file.get(), 0, bytes.get(), sampled)) return ContentIdentity();
  } else {
    const size_t block = static_cast<size_t>(ContentIdentity::kBlockBytes);
    if (!ReadAt(file.get(), 0, bytes.get(), block) ||
        !ReadAt(file.get(), whole - ContentIdentity::kBlockBytes, bytes.get() + block, block)) {
      return ContentIdentity();
    }
  }
  if (g_between) g_between();
  // A program still writing the file moves its end: what was read may be half old, half new.
  if (platform::FileSizeOf(file.get()) != size) return ContentIdentity();
  return IdentityOfSample(whole, std::string_view(reinterpret_cast<const char*>(bytes.get()), sampled));
}

bool HoldsRecording(const TextString& path, const ContentIdentity& identity) {
  return !identity.IsEmpty() && ReadContentIdentity(path) == identity;
}

IdentityReadCounts IdentityReads() {
  IdentityReadCounts counts;
  counts.opens = g_opens.load();
  counts.bytes = g_bytes.load();
  return counts;
}

ScopedIdentityReadHook::ScopedIdentityReadHook(std::function<void()> between) { g_between = std::move(between); }

ScopedIdentityReadHook::~ScopedIdentityReadHook() { g_between = nullptr; }

}  // namespace tarnix
