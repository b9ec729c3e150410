// Fuzz target: the ID3v2 chapter reader on the input as a file that starts with a tag.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/id3v2_chapters.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnix::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
  tarnix::ChapterSet set;
  tarnix::fuzz::CheckChapters(set, tarnix::ReadId3v2Chapters(source, &set));
  return 0;
}
