// Fuzz target: the Matroska chapter reader on the input as a whole file.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/matroska_chapters.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnix::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
  tarnix::ChapterSet set;
  tarnix::fuzz::CheckChapters(set, tarnix::ReadMatroskaChapters(source, &set));
  return 0;
}
