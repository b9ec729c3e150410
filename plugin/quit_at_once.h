#pragma once
// Quit on the UI thread. The player's quit posts UM_QUIT to the plug-in window; whichever loop
// dispatches it (the plug-in's own, a popup menu's, a file dialog's), the window procedure ends
// every modal loop the thread has open as its Cancel would, and the plug-in's loop ends once
// control is back in it. The player's side of quit is in plugin/plugin_entry.cpp.

namespace tarnix {

class Plugin;

// UM_QUIT reached the window: notes it (host/messaging.h, NoteQuitArrived), so that guarded
// sends, message boxes, file dialogs and waits give up from now on, closes a popup menu and
// cancels the thread's modal dialogs (a file dialog and the boxes it opened) other than the
// plug-in's four modeless ones.
void EndAllAtQuit(Plugin& plugin);

// The loop's last act at quit: a changed list is saved when auto-save is on, and otherwise kept
// in its recovery file for the next start, without a question.
void FinishAtQuit();

}  // namespace tarnix
