// The one dialog procedure of the plug-in's four modeless dialogs. It keeps the dialog's
// handlers from WM_INITDIALOG on and runs all work under the callback guard: a failed request to
// the player (Enter in "Edit subtrack" plays the row) must not unwind through the system's
// dialog code.

#include "commands/dialogs.h"

#include "host/callback_guard.h"

namespace tarnix {

namespace {

const DialogHandlers* HandlersOf(HWND dialog) {
  return reinterpret_cast<const DialogHandlers*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void OnClose(HWND dialog, const DialogHandlers& handlers) {
  if (handlers.onClose) {
    handlers.onClose();
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
}

void OnOk(HWND dialog, const DialogHandlers& handlers) {
  if (handlers.onOk) {
    handlers.onOk();
  } else {
    ShowWindow(dialog, SW_HIDE);
  }
}

INT_PTR OnNotify(HWND dialog, const DialogHandlers& handlers, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!handlers.onNotify || !header || GetParent(header->hwndFrom) != dialog) return FALSE;
  const INT_PTR answer = handlers.onNotify(header);
  // A dialog procedure hands a notification's result back through DWLP_MSGRESULT.
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
  return answer;
}

void OnCommand(HWND dialog, const DialogHandlers& handlers, WPARAM wParam, LPARAM lParam) {
  if (handlers.onCommand) {
    handlers.onCommand(wParam, lParam);
  } else if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDOK) {
    OnOk(dialog, handlers);
  } else if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDCANCEL) {
    OnClose(dialog, handlers);
  }
}

INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return TRUE;  // the system sets the focus
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) find no handlers yet.
  const DialogHandlers* handlers = HandlersOf(dialog);
  if (!handlers) return FALSE;
  switch (message) {
    case WM_CLOSE:
      OnClose(dialog, *handlers);
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(dialog, *handlers, lParam);
    case WM_COMMAND:
      OnCommand(dialog, *handlers, wParam, lParam);
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
