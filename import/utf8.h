#pragma once
// Small UTF-8 helpers the importers share: validity, bounded names, and the letter-case-blind
// comparison of file names.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tracklist/utf8_text.h"

namespace tarnix {

// Names longer than this many characters are cut.
constexpr size_t kMaxImportedNameChars = 255;

// Valid UTF-8 as it is; each byte of a broken sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view bytes);

// One line of text for a name, album or artist, as a list can hold it: cut at a NUL, broken
// bytes as U+FFFD, control characters (line breaks, tabs) as spaces, spaces at both ends gone,
// at most kMaxImportedNameChars characters, never cut inside one.
std::string CleanName(std::string_view text);
// A name as it was written, bounded the same way but with its tabs and the blanks at its ends
// kept: what a chapter file this plug-in exported gives back.
std::string ExactName(std::string_view text);

// Equality that ignores the letter case of ASCII and Latin-1 letters, as file names on the
// player's system compare for the names people give their recordings.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The part of a path after its last "\", "/" or ":".
std::string_view FileNameOf(std::string_view path);

}  // namespace tarnix
