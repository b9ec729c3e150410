#include "tests/fuzz/fuzz_import_checks.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "import/cue_sheet.h"
#include "import/cue_writer.h"
#include "import/imported_list.h"
#include "import/utf8.h"

namespace tarnix::fuzz {

namespace {

size_t Characters(const std::string& s) {
  size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

int64_t Frame(int32_t ms) { return (int64_t{ms} * 75 + 500) / 1000; }

}  // namespace

void CheckChapterSet(const ChapterSet& set) {
  if (set.chapters.size() > kMaxImportedChapters) __builtin_trap();
  for (const Chapter& c : set.chapters) {
    if (c.timeMs < 0 || !IsValidUtf8(c.name) || Characters(c.name) > kMaxImportedNameChars) __builtin_trap();
  }
  if (!IsValidUtf8(set.album) || !IsValidUtf8(set.artist)) __builtin_trap();
}

TrackList CheckImportedList(const ChapterSet& set) {
  TrackList list;
  if (!MakeImportedList(set, "Fuzz", &list)) {
    if (!set.chapters.empty()) __builtin_trap();
    return list;
  }
  if (list.TrackCount() != 1 || list.modified || list.subsongs || list.cddbId != 0) __builtin_trap();
  const Track& track = list.tracks[0];
  if (track.Count() < 1 || track.Count() > static_cast<int>(kMaxImportedChapters)) __builtin_trap();
  if (track.subtracks[0].time != 0) __builtin_trap();
  for (int i = 0; i < track.Count(); ++i) {
    const Subtrack& s = track.subtracks[static_cast<size_t>(i)];
    const std::string name(s.name.c_str(), static_cast<size_t>(s.name.Length()));
    if (name.empty() || !IsValidUtf8(name) || Characters(name) > kMaxImportedNameChars) __builtin_trap();
    if (std::strpbrk(s.name.c_str(), "\r\n\t")) __builtin_trap();
    if (i > 0 && s.time <= track.subtracks[static_cast<size_t>(i) - 1].time) __builtin_trap();
  }
  return list;
}

void CheckCueRoundTrip(const TrackList& list) {
  if (list.TrackCount() != 1) return;
  std::string bytes, reason;
  if (!MakeCueSheet(list, 0, "C:\\fuzz\\Played.flac", &bytes, &reason)) {
    if (list.tracks[0].Count() <= kMaxCueTracks || reason.empty()) __builtin_trap();
    return;
  }
  ChapterSet again;
  if (!ParseCueSheet(bytes, "Played.flac", false, &again)) __builtin_trap();
  TrackList back;
  if (!MakeImportedList(again, "Fuzz", &back)) __builtin_trap();
  const Track& a = list.tracks[0];
  const Track& b = back.tracks[0];
  if (a.Count() != b.Count() || !(list.album == back.album) || !(list.artist == back.artist)) __builtin_trap();
  for (size_t i = 0; i < a.subtracks.size(); ++i) {
    if (std::strcmp(a.subtracks[i].name.c_str(), b.subtracks[i].name.c_str()) != 0) __builtin_trap();
    if (Frame(a.subtracks[i].time) != Frame(b.subtracks[i].time)) __builtin_trap();
  }
}

}  // namespace tarnix::fuzz
