// Fuzz target: ReadFileChapters over the input as a whole file. Whatever it finds must stay
// within the chapter bounds.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/file_chapters.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnix::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
  tarnix::ChapterSet set;
  const bool found = tarnix::ReadFileChapters(source, &set);
  tarnix::fuzz::CheckChapters(set, found);
  return 0;
}
