// Fuzz target: the bookmark directory's index file. Any bytes parse or are refused; the input is
// tried as it is and with its trailing checksum made right, so that the fuzzer gets past the
// checksum to the records. What parses is written back with the same records (the index keeps
// them unordered, so the order may change) and parses again to the same index.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tracklist/dir_index.h"

namespace {

// The pattern the seeds were written for.
const tarnix::TextString kPattern("C:\\Bookmarks\\*.trk");

uint64_t Fnv1a(const std::string& bytes, size_t size) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
  return hash;
}

// The bytes before the checksum, sorted: the same records in any order give the same.
std::string SortedBody(const std::string& bytes) {
  std::string body = bytes.substr(0, bytes.size() - 8);
  std::sort(body.begin(), body.end());
  return body;
}

void Check(const std::string& bytes) {
  tarnix::DirectoryIndex index;
  if (!index.Parse(bytes, kPattern)) {
    if (index.Count() != 0) __builtin_trap();  // refused whole
    return;
  }
  const std::string written = index.Serialize();
  if (written.size() != bytes.size() || SortedBody(written) != SortedBody(bytes)) __builtin_trap();
  tarnix::DirectoryIndex again;
  if (!again.Parse(written, kPattern) || again.Count() != index.Count()) __builtin_trap();
  const std::string rewritten = again.Serialize();
  if (rewritten.size() != written.size() || SortedBody(rewritten) != SortedBody(written)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes);
  if (bytes.size() < 16) return 0;
  const uint64_t sum = Fnv1a(bytes, bytes.size() - 8);
  for (int i = 0; i < 8; ++i)
    bytes[bytes.size() - 8 + static_cast<size_t>(i)] = static_cast<char>((sum >> (8 * i)) & 0xFF);
  Check(bytes);
  return 0;
}
