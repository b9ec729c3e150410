// Fuzz target: TrackList::Load on a file holding the input. The first bytes choose the mode
// (and whether a name the code page lacks is added before saving, so that the list is written
// in UTF-8) and the playing CD's identity; a title follows up to the first NUL; the rest is the
// file. Every text read is UTF-8, and a saved list reads back with the same rows: texts, times
// in frames and skip marks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_file.h"
#include "tracklist/skip_marks.h"
#include "tracklist/track_list.h"
#include "tracklist/utf8_text.h"

namespace {

bool Utf8(const tarnix::TextString& text) {
  return tarnix::IsValidUtf8(std::string_view(text.c_str(), static_cast<size_t>(text.Length())));
}

// A text as a line holds it: control characters are blanks.
std::string Written(const tarnix::TextString& text) {
  std::string out(text.c_str(), static_cast<size_t>(text.Length()));
  for (char& c : out) c = (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? ' ' : c;
  return out;
}

// An entry's name as its line holds it: an empty one is written as "Unknown".
std::string WrittenName(const tarnix::TextString& name) { return name.IsEmpty() ? "Unknown" : Written(name); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t flags = 0;
  int32_t cd_key = 0;
  uint32_t cddb = 0;
  if (size >= 1) flags = data[0];
  if (size >= 9) {
    cd_key = static_cast<int32_t>(uint32_t{data[1]} | uint32_t{data[2]} << 8 | uint32_t{data[3]} << 16 |
                                  uint32_t{data[4]} << 24);
    cddb = uint32_t{data[5]} | uint32_t{data[6]} << 8 | uint32_t{data[7]} << 16 | uint32_t{data[8]} << 24;
  }
  if (!(flags & 2)) cd_key = 0;
  if (!(flags & 4)) cddb = 0;
  size_t at = size >= 9 ? 9 : size;
  std::string title;
  while (at < size && data[at] != 0 && title.size() < 256) title += static_cast<char>(data[at++]);
  if (at < size) ++at;
  const std::string path = tarnix::fuzz::WriteInput("load.trk", data + at, size - at);

  tarnix::TrackList list;
  const bool already = flags & 1;
  const bool matched = list.Load(path.c_str(), title.c_str(), cd_key, cddb, already);
  // Whatever was read must hold the model's shape and save and reload as it was.
  for (const auto& track : list.tracks) {
    if (track.owner != &list || track.subtracks.empty() || track.number < 1) __builtin_trap();
  }
  if (list.currentTrack < 0 || (list.currentTrack > 0 && list.currentTrack >= list.TrackCount())) __builtin_trap();
  if (matched && list.path.IsEmpty()) __builtin_trap();
  if (!Utf8(list.album) || !Utf8(list.artist)) __builtin_trap();
  for (const auto& track : list.tracks) {
    for (const auto& entry : track.subtracks) {
      if (!Utf8(entry.name)) __builtin_trap();
    }
  }
  if ((flags & 8) && !list.tracks.empty()) list.tracks.back().subtracks.back().name += "\xCE\xA9";
  const std::string saved = tarnix::fuzz::TempPath("saved.trk");
  if (list.Save(saved.c_str())) {
    tarnix::TrackList back;
    if (!back.Load(saved.c_str(), "", 0, 0, true)) __builtin_trap();
    if (back.TrackCount() != list.TrackCount()) __builtin_trap();
    for (int i = 0; i < list.TrackCount(); ++i) {
      const auto& a = list.tracks[static_cast<size_t>(i)];
      const auto& b = back.tracks[static_cast<size_t>(i)];
      if (a.Count() != b.Count() || a.number != b.number) __builtin_trap();
      for (int k = 0; k < a.Count(); ++k) {
        const auto& row = a.subtracks[static_cast<size_t>(k)];
        const auto& read = b.subtracks[static_cast<size_t>(k)];
        if (WrittenName(row.name) != WrittenName(read.name)) __builtin_trap();
        // The file holds frames: the time comes back as its frame, and each mark on its own row.
        if (tarnix::skipmarks::StoredTime(row.time) != read.time || row.skip != read.skip) __builtin_trap();
      }
    }
    if (Written(list.album) != Written(back.album) || Written(list.artist) != Written(back.artist)) __builtin_trap();
  }
  return 0;
}
