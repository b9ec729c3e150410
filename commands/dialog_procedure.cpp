// The one dialog procedure of the plug-in's four modeless dialogs. It tells them apart by
// window handle, and runs all work under the callback guard: a failed request to the player
// (Enter in "Edit subtrack" plays the row) must not unwind through the system's dialog code.

#include "commands/dialogs.h"

#include "commands/commands.h"
#include "commands/editing.h"
#include "host/callback_guard.h"
#include "host/plugin_globals.h"

namespace tarnix {

namespace {

void CloseDialog(HWND dialog) {
  if (dialog == g_plugin.subtrackDialog) {
    CloseSubtrackDialog();
  } else if (dialog == g_plugin.trackDialog) {
    CloseTrackDialog(false);
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
}

void OnOk(HWND dialog) {
  if (dialog == g_plugin.trackDialog) {
    CloseTrackDialog(true);
  } else if (dialog == g_plugin.optionsDialog) {
    OptionsOk();
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
}

INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CLOSE:
      CloseDialog(dialog);
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!header || !g_plugin.subtrackDialog || GetParent(header->hwndFrom) != g_plugin.subtrackDialog) {
        return FALSE;
      }
      const INT_PTR answer = HandleSubtrackUpDown(header);
      // A dialog procedure hands a notification's result back through DWLP_MSGRESULT.
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
      return answer;
    }
    case WM_COMMAND:
      if (dialog == g_plugin.subtrackDialog) {
        HandleSubtrackCommand(wParam, lParam);
      } else if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDOK) {
        OnOk(dialog);
      } else if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDCANCEL) {
        CloseDialog(dialog);
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR answer = FALSE;
  GuardCallback([&] { answer = HandleDialogMessage(dialog, message, wParam, lParam); });
  return answer;
}

}  // namespace tarnix
