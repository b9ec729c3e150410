#pragma once
// Window classes of the program's own module for the stand-in player, its helpers and the demo:
// registered once per process, by whichever thread asks first.

#include <windows.h>

namespace tarnix::testhost {

struct WindowClass {
  const char* name;
  WNDPROC procedure;
  UINT style = 0;               // CS_ flags
  HBRUSH background = nullptr;  // null: the window paints its own background
};

// Registers the class with the arrow cursor unless a class of that name was registered already;
// true when the class exists afterwards.
bool RegisterWindowClass(const WindowClass& windowClass);

}  // namespace tarnix::testhost
