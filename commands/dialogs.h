#pragma once
// The options and About dialogs, and the one dialog procedure that all four modeless dialogs of
// the plug-in share. Each dialog is created with its DialogHandlers as the creation parameter;
// the procedure keeps them from WM_INITDIALOG on and hands each message to them.

#include <windows.h>

namespace tarnix {

// What one dialog does with its messages; a null entry takes the default: hide the dialog for
// OK and Cancel, leave commands and notifications alone.
struct DialogHandlers {
  void (*onOk)();                     // IDOK (Enter)
  void (*onClose)();                  // IDCANCEL, Esc and the close box
  void (*onCommand)(WPARAM, LPARAM);  // every WM_COMMAND, instead of onOk and onClose
  INT_PTR (*onNotify)(const NMHDR*);  // WM_NOTIFY from the dialog's own controls
};

extern const DialogHandlers kTrackDialogHandlers;
extern const DialogHandlers kSubtrackDialogHandlers;
extern const DialogHandlers kOptionsDialogHandlers;
extern const DialogHandlers kAboutDialogHandlers;

// Create every dialog with CreateDialogParam and a pointer to its DialogHandlers as lParam.
INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowOptionsDialog();
void OptionsOk();

}  // namespace tarnix
