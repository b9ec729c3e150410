// Fuzz target: ParsePastedTracklist on the input as clipboard text. A success holds at least
// two entries in time order; a failure has a reason and no entries; the list made from a
// success is sane and survives export and import.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/pasted_tracklist.h"
#include "tests/fuzz/fuzz_import_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tarnix::ChapterSet set;
  std::string reason;
  if (!tarnix::ParsePastedTracklist(text, &set, &reason)) {
    if (reason.empty() || !set.Empty()) __builtin_trap();
    return 0;
  }
  if (!reason.empty() || set.chapters.size() < 2) __builtin_trap();
  for (size_t i = 1; i < set.chapters.size(); ++i) {
    if (set.chapters[i].timeMs < set.chapters[i - 1].timeMs) __builtin_trap();
  }
  tarnix::fuzz::CheckChapterSet(set);
  tarnix::fuzz::CheckCueRoundTrip(tarnix::fuzz::CheckImportedList(set));
  return 0;
}
