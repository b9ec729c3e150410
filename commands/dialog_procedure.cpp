// The one dialog procedure of the plug-in's four modeless dialogs. It keeps the dialog's
// handlers (DWLP_USER) and its Plugin (GWLP_USERDATA) from WM_INITDIALOG on and runs all work under the callback guard:
// a failed request to the player (Enter in "Edit subtrack" plays the row) must not unwind through the system's dialog
// code.

#include "commands/dialogs.h"

#include "host/callback_guard.h"

namespace tarnix {

namespace {

const DialogHandlers* HandlersOf(HWND dialog) {
  return reinterpret_cast<const DialogHandlers*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

Plugin* PluginOf(HWND dialog) { return reinterpret_cast<Plugin*>(GetWindowLongPtrW(dialog, GWLP_USERDATA)); }

void Keep(HWND dialog, const DialogBinding* binding) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(binding ? binding->handlers : nullptr));
  SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(binding ? binding->plugin : nullptr));
}

void OnClose(Plugin& plugin, HWND dialog, const DialogHandlers& handlers) {
  if (handlers.onClose) {
    handlers.onClose(plugin);
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
}

void OnOk(Plugin& plugin, HWND dialog, const DialogHandlers& handlers) {
  if (handlers.onOk) {
    handlers.onOk(plugin);
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
}

INT_PTR OnNotify(Plugin& plugin, HWND dialog, const DialogHandlers& handlers, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!handlers.onNotify || !header || GetParent(header->hwndFrom) != dialog) return FALSE;
  const INT_PTR answer = handlers.onNotify(plugin, header);
  // A dialog procedure hands a notification's result back through DWLP_MSGRESULT.
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
  return answer;
}

void OnCommand(Plugin& plugin, HWND dialog, const DialogHandlers& handlers, WPARAM wParam, LPARAM lParam) {
  if (handlers.onCommand) {
    handlers.onCommand(plugin, wParam, lParam);
  } else if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDOK) {
    OnOk(plugin, dialog, handlers);
  } else if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDCANCEL) {
    OnClose(plugin, dialog, handlers);
  }
}

INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    Keep(dialog, reinterpret_cast<const DialogBinding*>(lParam));
    return TRUE;  // the system sets the focus
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) find no handlers yet.
  const DialogHandlers* handlers = HandlersOf(dialog);
  Plugin* plugin = PluginOf(dialog);
  if (!handlers || !plugin) return FALSE;
  switch (message) {
    case WM_CLOSE:
      OnClose(*plugin, dialog, *handlers);
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*plugin, dialog, *handlers, lParam);
    case WM_COMMAND:
      OnCommand(*plugin, dialog, *handlers, wParam, lParam);
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
