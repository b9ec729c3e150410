#include "plugin/quit_at_once.h"

#include <windows.h>

#include <cstring>

#include "host/messaging.h"
#include "host/plugin.h"
#include "session/stored_lists.h"

namespace tarnix {

namespace {

// The class of the system's dialogs, the file dialogs and their questions among them.
constexpr char kDialogClass[] = "#32770";

bool IsModelessDialog(const Plugin& plugin, HWND window) {
  for (const WindowHandle* dialog :
       {&plugin.trackDialog, &plugin.subtrackDialog, &plugin.optionsDialog, &plugin.aboutDialog}) {
    if (dialog->Get() == window) return true;
  }
  return false;
}

// Posted rather than sent: the dialog's own loop, which dispatched the quit or is further out,
// takes the cancel once this procedure has returned. The command is the one Escape gives.
BOOL CALLBACK CancelModalDialog(HWND window, LPARAM lParam) {
  const auto* plugin = reinterpret_cast<const Plugin*>(lParam);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, kDialogClass) == 0 && !IsModelessDialog(*plugin, window)) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
  }
  return TRUE;
}

}  // namespace

void EndAllAtQuit(Plugin& plugin) {
  NoteQuitArrived();
  EndMenu();  // no menu open: nothing happens
  EnumThreadWindows(GetCurrentThreadId(), CancelModalDialog, reinterpret_cast<LPARAM>(&plugin));
}

void FinishAtQuit() {
  // Quit has arrived, so the save question is not asked (host/user_messages.h): the edit goes to
  // its recovery file. The edits kept aside earlier stay in theirs; the next start takes them all
  // up (AdoptRecoveredEdits) and nothing written here waits for a held file.
  SaveIfModified();
}

}  // namespace tarnix
