// Fuzz target: the three chapter file forms (plain text, ffmpeg metadata, podcast JSON), each
// given the whole input, so one corpus serves all three.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/chapter_files.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const auto form : {tarnix::ChapterFileForm::kPlainText, tarnix::ChapterFileForm::kFfmetadata,
                          tarnix::ChapterFileForm::kPodcastJson}) {
    tarnix::ChapterSet set;
    tarnix::fuzz::CheckChapters(set, tarnix::ParseChapterFile(form, bytes, &set));
  }
  return 0;
}
