#pragma once
// The UI thread's wait while another program holds a file it replaces: the plug-in's windows
// keep painting and the player's sent messages are answered, but nothing else runs (no command,
// tick or input could start a second save in the middle of the first). It ends at once when
// the quit message is queued.

namespace tarnix {

// Waits `milliseconds`; false when the quit message cut the wait short.
bool WaitKeepingWindowsPainted(int milliseconds);

}  // namespace tarnix
