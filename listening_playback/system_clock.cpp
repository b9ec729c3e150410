// The DLL's listening clock: the system's tick count.

#include <windows.h>

#include "listening_playback/listening_clock.h"

namespace tarnix {

uint64_t ListeningClockMs() { return GetTickCount64(); }

}  // namespace tarnix
