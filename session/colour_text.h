#pragma once
// The colour texts of a skin's "PLEdit.txt", without Windows.

#include <cstdint>

namespace tarnix {

// "#RRGGBB" or "RRGGBB" (fields of at most two hex digits, blanks before a field skipped) to a
// colour value with red in bits 0-7, green in 8-15, blue in 16-23; black when three fields can't
// be read or the text is null.
uint32_t ColourFromHex(const char* text);

}  // namespace tarnix
