// Fuzz target: ParseCueSheet. The first byte chooses whether the sheet was found by the played
// file's name and whether files lie beside it (those whose name's bytes add up to an odd number,
// so that some readings in other code pages find theirs); the played name follows up to the
// first line feed; the rest is the sheet. The sheet's text is always UTF-8, and every result must
// be bounded, make a sane list, and survive export and import unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/cue_sheet.h"
#include "import/utf8.h"
#include "tests/fuzz/fuzz_import_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool foundByName = !input.empty() && (input[0] & 1);
  if (!input.empty()) input.remove_prefix(1);
  const size_t newline = input.substr(0, 200).find('\n');
  const std::string_view played = newline == std::string_view::npos ? "a.wav" : input.substr(0, newline);
  if (newline != std::string_view::npos) input.remove_prefix(newline + 1);

  tarnix::CueFileCheck exists;
  if (!input.empty() && (data[0] & 2)) {
    exists = [](std::string_view name) {
      unsigned sum = 0;
      for (const char c : name) sum += static_cast<unsigned char>(c);
      return (sum & 1) != 0;
    };
  }
  if (!tarnix::IsValidUtf8(tarnix::DecodeCueSheet(input, exists))) __builtin_trap();
  tarnix::ChapterSet set;
  if (!tarnix::ParseCueSheet(input, played, foundByName, &set, exists)) {
    if (!set.Empty()) __builtin_trap();
    return 0;
  }
  if (set.Empty()) __builtin_trap();
  tarnix::fuzz::CheckChapterSet(set);
  tarnix::fuzz::CheckCueRoundTrip(tarnix::fuzz::CheckImportedList(set));
  return 0;
}
