// Fuzz target: the chapter export read back. The input is a list of subtracks, each a two-byte
// name length, a three-byte step in time and the name's bytes; the list is exported as a chapter
// file, read as one and made a list again. Every time comes back exactly and every name as the
// format keeps it: whole, blanks, tabs and dashes included, its other control characters as
// spaces, broken UTF-8 as U+FFFD and at most 255 characters (ExactName of it).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/chapter_files.h"
#include "import/chapter_writer.h"
#include "import/imported_list.h"
#include "import/utf8.h"
#include "tests/fuzz/fuzz_chapter_checks.h"

namespace {

std::string Bytes(const tarnix::TextString& text) {
  return std::string(text.c_str(), static_cast<size_t>(text.Length()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnix::TrackList list;
  list.Reset("Fuzzed", 1, 0);
  tarnix::Track& track = list.tracks.front();
  track.subtracks.clear();
  // Times rise from 0, as a track's do: its first subtrack is its start.
  int64_t time = 0;
  for (size_t at = 0; at + 5 <= size && track.subtracks.size() < tarnix::kMaxImportedChapters;) {
    const size_t length = std::min<size_t>(size_t{data[at]} << 8 | data[at + 1], size - at - 5);
    const int64_t step = int64_t{data[at + 2]} << 16 | data[at + 3] << 8 | data[at + 4];
    if (!track.subtracks.empty()) time += 1 + step * 7;
    if (time > INT32_MAX) break;
    tarnix::Subtrack subtrack;
    subtrack.time = static_cast<int32_t>(time);
    subtrack.name = tarnix::TextString(static_cast<int>(length), reinterpret_cast<const char*>(data + at + 5));
    track.subtracks.push_back(subtrack);
    at += 5 + length;
  }
  if (track.subtracks.empty()) return 0;

  std::string bytes, reason;
  if (!tarnix::MakeChapterText(list, 0, &bytes, &reason)) __builtin_trap();
  if (bytes.size() > tarnix::kMaxChapterFileBytes) return 0;
  tarnix::ChapterSet set;
  const bool found = tarnix::ParseChapterFile(tarnix::ChapterFileForm::kPlainText, bytes, &set);
  tarnix::fuzz::CheckChapters(set, found);
  tarnix::TrackList back;
  if (!found || set.chapters.size() != track.subtracks.size() || !tarnix::MakeImportedList(set, "Fuzzed", &back) ||
      back.tracks.front().subtracks.size() != track.subtracks.size())
    __builtin_trap();
  for (size_t i = 0; i < track.subtracks.size(); ++i) {
    std::string written = Bytes(track.subtracks[i].name);
    for (char& c : written) {
      if (c == '\0') c = ' ';  // a line can't hold one; ExactName would cut there
    }
    const std::string expected = tarnix::ExactName(written);
    const tarnix::Subtrack& listed = back.tracks.front().subtracks[i];
    const std::string listedName = expected.empty() ? "Chapter " + std::to_string(i + 1) : expected;
    if (set.chapters[i].timeMs != track.subtracks[i].time || set.chapters[i].name != expected ||
        listed.time != track.subtracks[i].time || Bytes(listed.name) != listedName)
      __builtin_trap();
  }
  return 0;
}
