// Fuzz target: the FLAC and Ogg chapter readers and the Vorbis comment block on the input.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/flac_chapters.h"
#include "import/ogg_chapters.h"
#include "import/vorbis_comments.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tarnix::MemorySource source(bytes);
  tarnix::ChapterSet flac, ogg, comments;
  tarnix::fuzz::CheckChapters(flac, tarnix::ReadFlacChapters(source, &flac));
  tarnix::fuzz::CheckChapters(ogg, tarnix::ReadOggChapters(source, &ogg));
  tarnix::ReadVorbisComments(bytes, &comments);
  tarnix::fuzz::CheckChapters(comments, false);
  return 0;
}
