// Fuzz target: the MP4 chapter reader on the input as a whole file.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/mp4_chapters.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnix::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
  tarnix::ChapterSet set;
  tarnix::fuzz::CheckChapters(set, tarnix::ReadMp4Chapters(source, &set));
  return 0;
}
