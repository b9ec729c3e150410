// Fuzz target: the MP3 chapter writer with the input as the original and a list made from the
// input's last bytes. A refusal writes nothing and says why; a written file reads back the list
// and keeps every byte that followed the old tag.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/file_chapters.h"
#include "import/id3v2_chapter_writer.h"
#include "import/id3v2_chapters.h"
#include "import/utf8.h"

namespace {

// Up to eight chapters in time order, some far apart (past what a frame holds), named by
// pieces of the input, so that names are Latin-1, other scripts, broken UTF-8 or hold a NUL.
tarnix::ChaptersToEmbed ListFrom(std::string_view input) {
  size_t pos = input.size();
  const auto take = [&]() -> unsigned { return pos > 0 ? static_cast<unsigned char>(input[--pos]) : 0; };
  tarnix::ChaptersToEmbed list;
  const unsigned count = take() % 9;
  int64_t time = 0;
  for (unsigned i = 0; i < count; ++i) {
    time += take() * 97 + take();
    if (take() == 0xFF) time += 0xFFFF0000ll;
    const size_t length = take() % 24;
    const size_t from = input.empty() ? 0 : take() * 131 % input.size();
    list.chapters.push_back({time, std::string(input.substr(from, length))});
  }
  list.lengthMs = take() % 3 == 0 ? 0 : time + take() * 10;
  return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const tarnix::ChaptersToEmbed list = ListFrom(input);
  tarnix::MemorySource source(input);
  tarnix::MemorySink sink;
  const tarnix::EmbedResult result = tarnix::WriteId3v2Chapters(source, list, sink);
  if (result.status != tarnix::EmbedStatus::kWritten) {
    if (!sink.Bytes().empty()) __builtin_trap();
    if (result.reason.empty() != (result.status == tarnix::EmbedStatus::kNotThisFormat)) __builtin_trap();
    return 0;
  }
  const std::string& written = sink.Bytes();
  tarnix::MemorySource back(written);
  const size_t oldEnd = static_cast<size_t>(tarnix::Id3v2TagEnd(source, 0));
  const size_t newEnd = static_cast<size_t>(tarnix::Id3v2TagEnd(back, 0));
  if (written.compare(newEnd, std::string::npos, input.substr(oldEnd)) != 0) __builtin_trap();

  tarnix::ChapterSet set;
  const bool found = tarnix::ReadFileChapters(back, &set);
  if (found != !list.chapters.empty() || set.chapters.size() != list.chapters.size()) __builtin_trap();
  for (size_t i = 0; i < list.chapters.size(); ++i) {
    if (set.chapters[i].timeMs != list.chapters[i].timeMs) __builtin_trap();
    if (set.chapters[i].name != tarnix::CleanName(list.chapters[i].name)) __builtin_trap();
  }
  return 0;
}
