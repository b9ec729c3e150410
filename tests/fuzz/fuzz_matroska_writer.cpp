// Fuzz target: the Matroska chapter writer on the input as the original file, with a list made
// from the input's own bytes (a count, steps in time, names). Either it refuses, saying why, or
// the file it wrote holds exactly that list for the chapter reader; only chapters it had to put
// where no SeekHead names them (it says so in a note) may stay unseen by the reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/matroska_chapter_writer.h"
#include "import/matroska_chapters.h"
#include "import/utf8.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  tarnix::ChaptersToEmbed list;
  const size_t count = size == 0 ? 0 : data[size - 1] % 12;
  int64_t time = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = (i * 131) % size;
    time += i == 0 ? 0 : data[at] * 37;
    list.chapters.push_back({time, tarnix::CleanName(input.substr(at, i % 7))});
  }
  list.lengthMs = size > 1 ? data[size - 2] * 100 : 0;

  tarnix::MemorySource source(input);
  tarnix::MemorySink sink;
  const tarnix::EmbedResult result = tarnix::WriteMatroskaChapters(source, list, sink);
  if (result.status != tarnix::EmbedStatus::kWritten) {
    if (result.reason.empty()) __builtin_trap();
    return 0;
  }
  tarnix::MemorySource written(sink.Bytes());
  tarnix::ChapterSet set;
  const bool found = tarnix::ReadMatroskaChapters(written, &set);
  tarnix::fuzz::CheckChapters(set, found);
  if (!result.note.empty()) return 0;
  if (set.chapters.size() != list.chapters.size()) __builtin_trap();
  for (size_t i = 0; i < set.chapters.size(); ++i) {
    if (std::llabs(set.chapters[i].timeMs - list.chapters[i].timeMs) > 1) __builtin_trap();
    if (set.chapters[i].name != list.chapters[i].name) __builtin_trap();
  }
  return 0;
}
