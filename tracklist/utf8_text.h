#pragma once
// The few facts of UTF-8 the plug-in's texts need: where a character ends, whether bytes are
// well formed, and where a text can be cut without splitting a character.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tarnix {

// Length of the well-formed UTF-8 sequence at `i`, or 0 when the bytes there are not one
// (overlong forms, surrogates and values past U+10FFFF count as broken).
size_t Utf8SequenceLength(std::string_view text, size_t i);

// Appends one code point in UTF-8.
void AppendUtf8(uint32_t codePoint, std::string* out);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Eight bytes at a time and inline: the readers ask this of every name they read.
inline bool IsAscii(std::string_view text) {
  const char* p = text.data();
  size_t n = text.size();
  uint64_t any = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    any |= word;
  }
  for (; n > 0; ++p, --n) any |= static_cast<unsigned char>(*p);
  return (any & 0x8080808080808080ull) == 0;
}

// The byte length of the longest start of `text` that holds whole characters only and at most
// `maxUnits` UTF-16 units (the measure of names on Windows' file systems); a byte of a broken
// sequence counts as one unit.
size_t Utf8PrefixOfUnits(std::string_view text, size_t maxUnits);

}  // namespace tarnix
