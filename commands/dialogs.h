#pragma once
// The options and About dialogs, and the one dialog procedure that all four modeless dialogs of
// the plug-in share. Each dialog is created with a DialogBinding (its DialogHandlers and the
// Plugin they work on) as the creation parameter; the procedure keeps both from WM_INITDIALOG
// on and hands each message to the handlers with the Plugin.

#include <windows.h>

namespace tarnix {

class Plugin;

// What one dialog does with its messages; a null entry takes the default: hide the dialog for
// OK and Cancel, leave commands and notifications alone.
struct DialogHandlers {
  void (*onOk)(Plugin&);                       // IDOK (Enter)
  void (*onClose)(Plugin&);                    // IDCANCEL, Esc and the close box
  void (*onCommand)(Plugin&, WPARAM, LPARAM);  // every WM_COMMAND, instead of onOk and onClose
  INT_PTR (*onNotify)(Plugin&, const NMHDR*);  // WM_NOTIFY from the dialog's own controls
};

// The creation parameter of every dialog: read at WM_INITDIALOG only, so it may live on the
// creator's stack.
struct DialogBinding {
  const DialogHandlers* handlers;
  Plugin* plugin;
};

extern const DialogHandlers kTrackDialogHandlers;
extern const DialogHandlers kSubtrackDialogHandlers;
extern const DialogHandlers kOptionsDialogHandlers;
extern const DialogHandlers kAboutDialogHandlers;

// Create every dialog with CreateDialogParam and a pointer to its DialogBinding as lParam.
INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowOptionsDialog(Plugin& plugin);
void OptionsOk(Plugin& plugin);

}  // namespace tarnix
