#pragma once
// Files the chapter writers made from the committed fixtures, checked by tools we did not write.
//
// A writer's test writes each fixture's new file in memory. With TARNIX_WRITTEN_OUT set to a
// folder, it also leaves the new file there under the given name; a fixture script then runs the
// independent tools (ffprobe, mkvextract, metaflac, mutagen) on those files and keeps their
// readings beside the fixtures together with the new file's hash. Without the tools, the test
// checks that it still writes exactly the bytes the tools read (same hash), and what they read.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace tarnix::testing {

// FNV-1a, 64 bits, as 16 lowercase hex digits: enough to tell that two files are the same bytes.
inline std::string BytesHash(const std::string& bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// Leaves `bytes` as `name` in the folder TARNIX_WRITTEN_OUT names, when it is set.
inline void KeepWrittenForTools(const std::string& name, const std::string& bytes) {
  const char* folder = std::getenv("TARNIX_WRITTEN_OUT");
  if (folder == nullptr || *folder == '\0') return;
  std::ofstream out(std::string(folder) + "/" + name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tarnix::testing
