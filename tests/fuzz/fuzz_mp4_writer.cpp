// Fuzz target: the MP4 chapter writer on the input as the original file, with a list made from
// the input's last bytes. A refusal must say why; a written file must give back the list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/mp4_chapter_writer.h"
#include "import/mp4_chapters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  tarnix::ChaptersToEmbed list;
  list.trackName = "Track";
  const size_t count = size == 0 ? 1 : 1 + data[size - 1] % 6;
  int64_t time = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t seed = i + 2 <= size ? data[size - 2 - i] : 0;
    time += seed * 37;
    list.chapters.push_back({time, "Chapter " + std::string(1, static_cast<char>('A' + seed % 26))});
  }
  list.lengthMs = size > 0 ? data[0] * 100 : 0;

  tarnix::MemorySource source(input);
  tarnix::MemorySink sink;
  const tarnix::EmbedResult result = tarnix::WriteMp4Chapters(source, list, sink);
  if (result.status != tarnix::EmbedStatus::kWritten) {
    if (result.reason.empty() && result.status != tarnix::EmbedStatus::kNotThisFormat) __builtin_trap();
    return 0;
  }
  if (!result.reason.empty()) __builtin_trap();

  if (list.chapters.front().timeMs > 0) list.chapters.insert(list.chapters.begin(), {0, list.trackName});
  tarnix::MemorySource written(sink.Bytes());
  tarnix::ChapterSet set;
  if (!tarnix::ReadMp4Chapters(written, &set) || set.chapters.size() != list.chapters.size()) __builtin_trap();
  for (size_t i = 0; i < set.chapters.size(); ++i) {
    if (set.chapters[i].timeMs != list.chapters[i].timeMs || set.chapters[i].name != list.chapters[i].name) {
      __builtin_trap();
    }
  }
  return 0;
}
