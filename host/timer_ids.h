#pragma once
// The ids of the plug-in window's timers (SetTimer, KillTimer, WM_TIMER's wParam).

#include <windows.h>

namespace tarnix {

// The playback check: started at start-up, restarted by every tick with the interval that tick
// chose, stopped at shutdown.
constexpr UINT_PTR kTickTimerId = 1;

}  // namespace tarnix
