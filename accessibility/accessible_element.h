#pragma once
// AccessibleElement: the IAccessible object the plug-in window hands a screen reader for each of
// its parts (accessible_tree.h). Every element of the window shares one context; the window
// cuts it loose when it is destroyed, and from then on each method of an element still held by
// a client answers CO_E_OBJNOTCONNECTED instead of reaching a Plugin that is gone. The methods
// run on the UI thread: COM brings a client's calls there (the thread is a single-threaded
// apartment), and no C++ exception leaves them.

#include <windows.h>
#include <oleacc.h>

#include <memory>

#include "accessibility/accessible_tree.h"

namespace tarnix {

struct AccessibleContext {
  Plugin* plugin = nullptr;  // null once the window is gone
  HWND window = nullptr;
};

// A new element for `node`, holding one reference for the caller.
IAccessible* NewAccessibleElement(const std::shared_ptr<AccessibleContext>& context, const NodeRef& node);

}  // namespace tarnix
