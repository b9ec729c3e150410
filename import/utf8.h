#pragma once
// Small UTF-8 helpers the importers share: validity, bounded names, and the letter-case-blind
// comparison of file names.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnix {

// Names longer than this many characters are cut.
constexpr size_t kMaxImportedNameChars = 255;

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// A name as a list can hold it: control characters (line breaks, tabs) become spaces, spaces
// at both ends go, and the rest is cut to kMaxImportedNameChars characters, never inside one.
std::string CleanName(std::string_view text);

// Equality that ignores the letter case of ASCII and Latin-1 letters, as file names on the
// player's system compare for the names people give their recordings.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The part of a path after its last "\", "/" or ":".
std::string_view FileNameOf(std::string_view path);

}  // namespace tarnix
