#pragma once
// Small UTF-8 helpers the importers share: validity, bounded names, and the letter-case-blind
// comparison of file names.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnix {

// Names longer than this many characters are cut.
constexpr size_t kMaxImportedNameChars = 255;

// Length of the well-formed UTF-8 sequence at `i`, or 0 when the bytes there are not one
// (overlong forms, surrogates and values past U+10FFFF count as broken).
size_t Utf8SequenceLength(std::string_view text, size_t i);

// Appends one code point in UTF-8.
void AppendUtf8(uint32_t codePoint, std::string* out);

// Valid UTF-8 as it is; each byte of a broken sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// One line of text for a name, album or artist, as a list can hold it: cut at a NUL, broken
// bytes as U+FFFD, control characters (line breaks, tabs) as spaces, spaces at both ends gone,
// at most kMaxImportedNameChars characters, never cut inside one.
std::string CleanName(std::string_view text);

// Equality that ignores the letter case of ASCII and Latin-1 letters, as file names on the
// player's system compare for the names people give their recordings.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The part of a path after its last "\", "/" or ":".
std::string_view FileNameOf(std::string_view path);

}  // namespace tarnix
