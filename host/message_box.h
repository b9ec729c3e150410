#pragma once
// The plug-in's own modal message box. It looks and answers like the system's, but its private
// loop gives up by itself when a message of a given range (the UI thread's stop message) is
// waiting in the thread's queue, and leaves that message queued.

#include <windows.h>

namespace tarnix {

// Shows `text` with `caption`, buttons, icon and default button chosen by the MB_ bits of
// `flags`, owned by `owner`. Returns the id of the button chosen (IDOK to IDNO), IDCANCEL when
// the box is closed or Esc is pressed, -1 when a message numbered quitLow..quitHigh is waiting
// (quitHigh 0 means quitLow alone; both 0 watch nothing), and 0 when the box cannot be made.
int ShowMessageBox(HWND owner, const char* text, const char* caption, unsigned flags, UINT quitLow, UINT quitHigh);

}  // namespace tarnix
