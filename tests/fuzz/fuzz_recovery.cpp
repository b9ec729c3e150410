// Fuzz target: arbitrary bytes as a recovery file of a kept edit. Its record is read or refused
// without a crash; what is read formats and reads back the same; an earlier version's file is
// the list's bytes alone; and the bytes an adopted edit would put in place read from memory (as
// the list is shown while its edit waits) exactly as TrackList::Load reads them from the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_file.h"
#include "tracklist/track_list.h"
#include "tracklist/unsaved_lists.h"

namespace {

bool SameList(const tarnix::TrackList& a, const tarnix::TrackList& b) {
  if (!(a.album == b.album) || !(a.artist == b.artist) || a.subsongs != b.subsongs || a.cdKey != b.cdKey ||
      a.cddbId != b.cddbId || a.currentTrack != b.currentTrack || a.TrackCount() != b.TrackCount())
    return false;
  for (size_t i = 0; i < a.tracks.size(); ++i) {
    const auto& x = a.tracks[i];
    const auto& y = b.tracks[i];
    if (x.number != y.number || x.Count() != y.Count()) return false;
    for (size_t k = 0; k < x.subtracks.size(); ++k) {
      const auto& s = x.subtracks[k];
      const auto& t = y.subtracks[k];
      if (!(s.name == t.name) || s.time != t.time || s.skip != t.skip) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tarnix::RecoveryFile file;
  if (!tarnix::ParseRecoveryFile(text, &file)) return 0;
  if (file.listPath.IsEmpty()) {
    if (file.bytes != text) __builtin_trap();
  } else {
    tarnix::RecoveryFile back;
    if (!tarnix::ParseRecoveryFile(tarnix::FormatRecoveryFile(file), &back)) __builtin_trap();
    if (!(back.listPath == file.listPath) || !(back.was == file.was) || back.bytes != file.bytes) __builtin_trap();
  }

  tarnix::TrackList fromMemory;
  tarnix::TrackList fromFile;
  const bool read = tarnix::LoadListBytes(fromMemory, file.bytes, "", 0, 0, true);
  const std::string path = tarnix::fuzz::WriteInput("kept.trk", file.bytes.data(), file.bytes.size());
  if (fromFile.Load(path.c_str(), "", 0, 0, true) != read || !SameList(fromMemory, fromFile)) __builtin_trap();
  return 0;
}
