// Fuzz target: the Matroska chapter reader on the input as a whole file; whatever the input, it
// reads no more than its budget and a bounded number of times (a header, at most, for each
// element it looks at, and the body of some of them).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/bounded_source.h"
#include "import/matroska_chapters.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnix::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
  tarnix::ChapterSet set;
  tarnix::fuzz::CheckChapters(set, tarnix::ReadMatroskaChapters(source, &set));
  if (source.Spent().reads > 2048 || source.Spent().bytes > tarnix::kMaxChapterReadBytes) __builtin_trap();
  return 0;
}
