// Fuzz target: the FLAC, Ogg Vorbis and Opus chapter writer with the input as the original and a
// list made from the input's last bytes. A refusal must say why; a written file must give back
// exactly the list written and stay the same when written again with it. Half the inputs get
// their Ogg page checksums set right first, so that changed headers reach the writer's parsing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/file_chapters.h"
#include "import/ogg_page.h"
#include "import/utf8.h"
#include "import/vorbis_comment_chapter_writer.h"

namespace {

void FixOggChecksums(std::string* bytes) {
  tarnix::OggPageHeader header;
  for (size_t at = 0; tarnix::ParseOggPageStart(std::string_view(*bytes).substr(at), &header);) {
    const size_t segments = tarnix::OggSegmentCount(std::string_view(*bytes).substr(at));
    if (bytes->size() - at < tarnix::kOggPageHeader + segments) return;
    header.lacing = bytes->substr(at + tarnix::kOggPageHeader, segments);
    if (bytes->size() - at < header.PageSize()) return;
    bytes->replace(at + 22, 4, 4, '\0');
    const uint32_t crc = tarnix::OggPageChecksum(std::string_view(*bytes).substr(at, header.PageSize()));
    for (int i = 0; i < 4; ++i) (*bytes)[at + 22 + i] = static_cast<char>(crc >> (8 * i));
    at += header.PageSize();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string original(reinterpret_cast<const char*>(data), size);
  if (size > 0 && (data[size - 1] & 0x80)) FixOggChecksums(&original);

  // Up to 7 chapters: steps and names taken from the input's last 64 bytes.
  tarnix::ChaptersToEmbed list;
  const size_t tail = size < 64 ? 0 : size - 64;
  const size_t count = size == 0 ? 0 : data[size - 1] % 8;
  int64_t ms = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = tail + i * 8;
    ms += at < size ? data[at] * 997 : 0;
    list.chapters.push_back({ms, at + 1 < size ? original.substr(at + 1, data[at + 1] % 12) : std::string()});
  }

  tarnix::MemorySource source(original);
  tarnix::MemorySink sink;
  const tarnix::EmbedResult result = tarnix::WriteVorbisCommentChapters(source, list, sink);
  if (result.status != tarnix::EmbedStatus::kWritten) {
    if (result.reason.empty()) __builtin_trap();
    return 0;
  }
  if (!result.reason.empty()) __builtin_trap();

  tarnix::MemorySource back(sink.Bytes());
  tarnix::ChapterSet read;
  const bool found = tarnix::ReadFileChapters(back, &read);
  if (!list.chapters.empty()) {
    if (!found || read.chapters.size() != list.chapters.size()) __builtin_trap();
    for (size_t i = 0; i < list.chapters.size(); ++i) {
      if (read.chapters[i].timeMs != list.chapters[i].timeMs) __builtin_trap();
      if (read.chapters[i].name != tarnix::CleanName(list.chapters[i].name)) __builtin_trap();
    }
  }

  tarnix::MemorySource again(sink.Bytes());
  tarnix::MemorySink second;
  if (tarnix::WriteVorbisCommentChapters(again, list, second).status != tarnix::EmbedStatus::kWritten ||
      second.Bytes() != sink.Bytes()) {
    __builtin_trap();
  }
  return 0;
}
