#pragma once
// What every chapter reader promises, checked after each fuzz input.

#include "import/chapter.h"

namespace tarnix::fuzz {

inline void CheckChapters(const ChapterSet& set, bool found) {
  if (found && set.Empty() && set.embeddedCueSheet.empty()) __builtin_trap();
  if (set.chapters.size() > kMaxImportedChapters) __builtin_trap();
  for (const auto& c : set.chapters) {
    if (c.timeMs < 0 || c.name.size() > kMaxImportedNameBytes) __builtin_trap();
    for (const char ch : c.name) {
      if (ch == '\0' || ch == '\r' || ch == '\n') __builtin_trap();
    }
  }
  if (set.album.size() > kMaxImportedNameBytes || set.artist.size() > kMaxImportedNameBytes) __builtin_trap();
}

}  // namespace tarnix::fuzz
