#pragma once
// How far memory at an address can be read, for the pointers that arrive in messages and in the
// player's answers: a pointer another process sent, or one given by mistake, names memory this
// process may not have, and reading it must not end the player's process.

#include <cstddef>
#include <optional>
#include <string>

namespace tarnix {

// Bytes from `address` on that the process may read: committed, readable and not a guard page,
// up to the end of its region; 0 when it may not read there.
size_t ReadableBytesAt(const void* address);

// Whether all `bytes` bytes from `address` on can be read (across regions that follow each other).
bool IsReadable(const void* address, size_t bytes);

// The text at `text` up to its terminator, or its first `maxBytes` bytes when it runs on; nullopt
// when the memory cannot be read that far.
std::optional<std::string> ReadableText(const char* text, size_t maxBytes);

}  // namespace tarnix
