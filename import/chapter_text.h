#pragma once
// Turning the texts that tags and containers carry (ISO-8859-1, UTF-16 of either byte order,
// UTF-8 that may be broken) into the clean UTF-8 a ChapterSet holds, and adding chapters within
// the set's bounds.

#include <cstdint>
#include <string>
#include <string_view>

#include "import/chapter.h"
#include "import/utf8.h"  // CleanName, ValidUtf8: the readers use them with these

namespace tarnix {

std::string Latin1ToUtf8(std::string_view bytes);
// An odd last byte is dropped; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// UTF-16 that starts with a byte order mark; without one, `bigEndianDefault` decides.
std::string Utf16BomToUtf8(std::string_view bytes, bool bigEndianDefault);
// Appends a chapter with a cleaned name; false (and nothing added) once the set holds
// kMaxImportedChapters or when the time is negative.
bool AddChapter(ChapterSet* set, int64_t timeMs, std::string_view utf8Name);
// The same, the name kept as written (ExactName): blanks at its ends and tabs stay.
bool AddChapterAsWritten(ChapterSet* set, int64_t timeMs, std::string_view utf8Name);
inline bool ChaptersFull(const ChapterSet& set) { return set.chapters.size() >= kMaxImportedChapters; }

}  // namespace tarnix
