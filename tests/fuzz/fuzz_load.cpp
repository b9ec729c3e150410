// Fuzz target: TrackList::Load on a file holding the input. The first bytes choose the mode
// and the playing CD's identity; a title follows up to the first NUL; the rest is the file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/fuzz/fuzz_file.h"
#include "tracklist/track_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tarnix::TextString;
  TextString::SetCaseSensitive(false);
  TextString::SetEofException(true);
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
  const std::string saved = tarnix::fuzz::TempPath("saved.trk");
  if (list.Save(saved.c_str())) {
    tarnix::TrackList back;
    if (!back.Load(saved.c_str(), "", 0, 0, true)) __builtin_trap();
    if (back.TrackCount() != list.TrackCount()) __builtin_trap();
    for (int i = 0; i < list.TrackCount(); ++i) {
      const auto& a = list.tracks[static_cast<size_t>(i)];
      const auto& b = back.tracks[static_cast<size_t>(i)];
      if (a.Count() != b.Count() || a.number != b.number) __builtin_trap();
    }
  }
  return 0;
}
