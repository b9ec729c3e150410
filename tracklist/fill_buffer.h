#pragma once
// Fills a TextString from a system call that truncates its output to the buffer it is given,
// growing the buffer until the result fits.

#include <functional>

#include "tracklist/text_string.h"

namespace tarnix {

// `call` (buffer, size) returns the length it wrote, or a length of size - 1 or more (or a
// negative value) when the result did not fit. The buffer doubles between attempts, so a long
// result costs a few calls rather than one per 32 bytes.
TextString FillTruncating(const std::function<int(char* buffer, int size)>& call);

}  // namespace tarnix
